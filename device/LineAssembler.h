#pragma once
// Turns the modem's byte stream into blocks of lines. A line is recognised
// after CR LF (or directly after an information line's LF); each completed
// line is classified, and a block is complete when its last line is a final
// result, a notification, or the prompt "> ". No threads: it is fed bytes
// and says when a block is complete; the owner then reads the block and
// calls Reset.
//
// Limits: a line keeps its first 799 bytes (the rest up to its CR is
// dropped, so the line still ends and is classified where it should), and a
// block keeps at most 29 information lines: later information lines are
// dropped, so that the last cell is always free for the line that
// completes the block and every answer is still delivered in step.
#include <cstddef>
#include <cstdint>

#include "device/AtLineClass.h"

namespace evdo {

constexpr std::size_t kLineCellSize = 800;
constexpr std::size_t kLineCells = 30;
constexpr std::size_t kMaxLineLength = kLineCellSize - 1;
using LineCell = char[kLineCellSize];
static_assert(sizeof(LineCell[kLineCells]) == 24000);

class CLineAssembler {
public:
  enum class State { Idle, GotCr, LineStart, InLine, InfoEnd, BodyEnd, Prompt };

  CLineAssembler();
  CLineAssembler(const CLineAssembler&) = delete;
  CLineAssembler& operator=(const CLineAssembler&) = delete;

  // Feeds one byte. True when the block is complete; it stays readable
  // until Reset (a byte fed before Reset starts a new block).
  bool Feed(std::uint8_t byte);
  // Empties the block.
  void Reset();

  const LineCell* Lines() const { return cells_; }
  std::uint16_t LineCount() const { return count_; }
  // The class of the last classified line (kLineOk for the prompt).
  int LastClass() const { return class_; }
  State GetState() const { return state_; }

  // Lines cut to 799 bytes, and information lines dropped from a full block.
  std::uint64_t TruncatedLines() const { return truncated_; }
  std::uint64_t DroppedLines() const { return dropped_; }

private:
  void Append(std::uint8_t byte);
  void AddLine();
  void DropLastLine();
  State EndLine();
  State OnIdle(std::uint8_t byte);
  State OnLineStart(std::uint8_t byte);
  State OnInLine(std::uint8_t byte);
  State OnLineEnd(std::uint8_t byte, State stay);
  void ClearCell(std::size_t cell);

  LineCell cells_[kLineCells];
  // Bytes written into each cell since it was last cleared.
  std::uint16_t used_[kLineCells];
  std::uint16_t count_ = 0;
  std::size_t cell_ = 0;  // the cell being filled
  State state_ = State::Idle;
  int class_ = kLineInformation;
  bool complete_ = false;
  bool lineCut_ = false;
  std::uint64_t truncated_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace evdo
