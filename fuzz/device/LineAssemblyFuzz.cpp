// Feeds arbitrary modem output to the line assembly and the dispatcher and
// checks what every handler receives: a block of 1..30 zero-terminated
// lines whose last line belongs to the slot.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "device/AtDispatcher.h"
#include "platform/PosixSerialDevice.h"

namespace {

using namespace evdo;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct SlotContext {
  CAtDispatcher* dispatcher;
  int slot;
};

void CheckBlock(void* context, const LineCell* lines, std::uint16_t count) {
  auto* at = static_cast<SlotContext*>(context);
  Check(count >= 1 && count <= kLineCells);
  for (std::uint16_t i = 0; i < count; ++i) Check(std::memchr(lines[i], 0, kLineCellSize) != nullptr);
  const int last = ClassifyLine(lines[count - 1]);
  if (at->slot == kCommandSlot) {
    Check(IsFinalResult(last) || std::strcmp(lines[count - 1], "> ") == 0);
    // The next command's handler, as an issuer would register it.
    at->dispatcher->RegisterHandler(kCommandSlot, &CheckBlock, context);
  } else if (at->slot == 2) {
    Check(last == kLineCmt || (count >= 2 && ClassifyLine(lines[count - 2]) == kLineCmt));
  } else {
    Check(SlotOfClass(last) == at->slot);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static CSerialPort port(std::make_unique<PosixSerialDevice>());
  CSetupData setup;
  setup.Main_nCall = data[0] & 1;
  auto dispatcher = std::make_unique<CAtDispatcher>(port, setup);
  dispatcher->SetCommandArmWaitMs(0);
  SlotContext contexts[kSlotCount];
  for (int slot = 0; slot < kSlotCount; ++slot) {
    contexts[slot] = {dispatcher.get(), slot};
    // Slots 0, 1 and 8 hold relays; their blocks are checked on the way in
    // by the assembler checks below.
    dispatcher->RegisterHandler(slot, &CheckBlock, &contexts[slot]);
  }
  for (std::size_t i = 1; i < size; ++i) {
    dispatcher->ProcessBytes(data + i, 1);
    const CLineAssembler& assembler = dispatcher->Assembler();
    Check(assembler.LineCount() <= kLineCells);
  }
  Check(dispatcher->QueuedNotifications() <= CAtDispatcher::kQueueSize);

  // The same bytes through a bare assembler, checking every block.
  CLineAssembler assembler;
  for (std::size_t i = 1; i < size; ++i) {
    if (!assembler.Feed(data[i])) continue;
    Check(assembler.LineCount() >= 1 && assembler.LineCount() <= kLineCells);
    for (int k = 0; k < assembler.LineCount(); ++k) {
      Check(std::memchr(assembler.Lines()[k], 0, kLineCellSize) != nullptr);
    }
    assembler.Reset();
  }
  return 0;
}
