#include "device/LineAssembler.h"

#include <cstring>

namespace evdo {

namespace {
constexpr std::uint8_t CR = 13;
constexpr std::uint8_t LF = 10;
}  // namespace

CLineAssembler::CLineAssembler() {
  std::memset(cells_, 0, sizeof cells_);
  std::memset(used_, 0, sizeof used_);
}

void CLineAssembler::ClearCell(std::size_t cell) {
  std::memset(cells_[cell], 0, used_[cell]);
  used_[cell] = 0;
}

void CLineAssembler::Reset() {
  for (std::size_t cell = 0; cell < kLineCells; ++cell) {
    if (used_[cell] != 0) ClearCell(cell);
  }
  count_ = 0;
  cell_ = 0;
  state_ = State::Idle;
  class_ = kLineInformation;
  complete_ = false;
  lineCut_ = false;
}

void CLineAssembler::Append(std::uint8_t byte) {
  std::uint16_t& used = used_[cell_];
  if (used < kMaxLineLength) {
    cells_[cell_][used++] = static_cast<char>(byte);
  } else if (!lineCut_) {
    lineCut_ = true;
    ++truncated_;
  }
}

// The current cell becomes a line of the block; the next cell is current.
void CLineAssembler::AddLine() {
  ++count_;
  if (count_ < kLineCells) cell_ = count_;
  lineCut_ = false;
}

void CLineAssembler::DropLastLine() {
  --count_;
  ClearCell(count_);
  cell_ = count_;
  class_ = kLineInformation;
  lineCut_ = false;
}

// CR at the end of a line in the current cell.
CLineAssembler::State CLineAssembler::EndLine() {
  if (class_ == kLineCmt) {
    // The body of a "+CMT: " notification, whatever it holds.
    AddLine();
    return State::BodyEnd;
  }
  int cls = ClassifyLine(cells_[cell_]);
  if (count_ == kLineCells - 1 && cls == kLineCmt) {
    // The header of a two-line notification in the last cell: its body needs
    // a cell too, so the header takes the place of the last information line.
    ClearCell(cell_ - 1);
    std::memcpy(cells_[cell_ - 1], cells_[cell_], used_[cell_]);
    used_[cell_ - 1] = used_[cell_];
    ClearCell(cell_);
    --count_;
    cell_ = count_;
    ++dropped_;
  }
  AddLine();
  class_ = cls;
  return cls == kLineInformation || cls == kLineCmt ? State::InfoEnd : State::BodyEnd;
}

CLineAssembler::State CLineAssembler::OnIdle(std::uint8_t byte) {
  if (byte == CR) return class_ == kLineCmt ? State::BodyEnd : State::GotCr;
  if (count_ == 0) return State::Idle;
  Append(byte);
  return State::InLine;
}

CLineAssembler::State CLineAssembler::OnLineStart(std::uint8_t byte) {
  if (byte == CR) return State::GotCr;
  Append(byte);
  if (byte != '>') return State::InLine;
  AddLine();
  return State::Prompt;
}

CLineAssembler::State CLineAssembler::OnInLine(std::uint8_t byte) {
  if (byte == CR) return EndLine();
  Append(byte);
  return State::InLine;
}

// After the CR of a classified line: LF ends it, CR is skipped, any other
// byte breaks it.
CLineAssembler::State CLineAssembler::OnLineEnd(std::uint8_t byte, State stay) {
  if (byte == CR) return stay;
  if (byte == LF) {
    if (stay == State::BodyEnd) {
      complete_ = true;
    } else if (count_ == kLineCells) {
      // An information line in the last cell: the cell is kept for the line
      // that completes the block.
      DropLastLine();
      ++dropped_;
    }
    return State::Idle;
  }
  DropLastLine();
  return State::Idle;
}

bool CLineAssembler::Feed(std::uint8_t byte) {
  if (complete_) Reset();
  switch (state_) {
    case State::Idle: state_ = OnIdle(byte); break;
    case State::GotCr:
      state_ = byte == LF ? State::LineStart : byte == CR ? State::GotCr : State::Idle;
      break;
    case State::LineStart: state_ = OnLineStart(byte); break;
    case State::InLine: state_ = OnInLine(byte); break;
    case State::InfoEnd: state_ = OnLineEnd(byte, State::InfoEnd); break;
    case State::BodyEnd: state_ = OnLineEnd(byte, State::BodyEnd); break;
    case State::Prompt:
      if (byte == ' ') {
        // The prompt's cell is the last line; it was counted at its ">".
        cell_ = count_ - 1;
        Append(byte);
        class_ = kLineOk;
        complete_ = true;
        state_ = State::Idle;
      } else if (byte != '>') {
        DropLastLine();
        state_ = State::Idle;
      }
      break;
  }
  return complete_;
}

}  // namespace evdo
