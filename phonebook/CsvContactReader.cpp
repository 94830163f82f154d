#include "phonebook/CsvContactReader.h"

#include "core/text/TextRules.h"

#include "phonebook/PhonebookMessages.h"

namespace evdo {
namespace {

// How much of a refused value the failure detail quotes.
constexpr std::size_t kDetailBytes = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// End of the line that starts at or before pos: the position of its LF, or
// the end of the text.
std::size_t LineEnd(std::string_view text, std::size_t pos) {
  std::size_t lf = text.find('\n', pos);
  return lf == std::string_view::npos ? text.size() : lf;
}

// Position of the closing quote of a quoted field whose text starts at from,
// or npos when the text ends first.
std::size_t ClosingQuote(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    if (i + 1 < text.size() && text[i + 1] == '"') {
      ++i;
      continue;
    }
    return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool CsvContactReader::ReadField(std::string_view text, std::size_t& pos, std::string& field) {
  field.clear();
  std::size_t start = pos;
  while (start < text.size() && IsBlank(text[start])) ++start;
  std::size_t rest = pos;
  if (start < text.size() && text[start] == '"') {
    // A quote left open to the end of the text closes at the end of its line.
    std::size_t close = ClosingQuote(text, start + 1);
    std::size_t end = close == std::string_view::npos ? LineEnd(text, start) : close;
    for (std::size_t i = start + 1; i < end; ++i) {
      field += text[i];
      if (text[i] == '"' && i + 1 < end && text[i + 1] == '"') ++i;
    }
    rest = close == std::string_view::npos ? end : close + 1;
  }
  // Unquoted text, or text after a closing quote, runs to the separator.
  std::size_t sep = text.find_first_of(",\n", rest);
  if (sep == std::string_view::npos) sep = text.size();
  field.append(text.substr(rest, sep - rest));
  pos = sep < text.size() ? sep + 1 : sep;
  return sep < text.size() && text[sep] == ',';
}

ImportOutcome CsvContactReader::Import(CPbData& store, std::string_view rawText) {
  ImportOutcome outcome;
  // Read as a text file reads: every CR LF is one LF, so a file written on
  // either kind of system imports alike, quoted line ends included.
  const std::string lines = ContactImport::TextModeLines(rawText);
  const std::string_view text = lines;
  CsvContactReader reader(text);
  if (!reader.ReadHeader()) {
    outcome.Fail(pbmsg::kMalformedFile, "the first line names none of Name, Mobile, Home, Company");
    return outcome;
  }
  bool skipped = false;
  while (reader.pos_ < text.size()) {
    if (reader.AtBlankLine()) {
      reader.SkipLine();
      continue;
    }
    ContactRecord record = EmptyContact();
    if (!reader.ReadContact(record, outcome)) return outcome;
    if (!ContactImport::AddOrSkip(store, record, outcome, skipped)) return outcome;
  }
  outcome.completed = true;
  if (skipped) outcome.Fail(pbmsg::kSkippedLines);
  return outcome;
}

bool CsvContactReader::ReadHeader() {
  columns_.fill(kNoColumn);
  std::string field;
  bool more = true;
  for (std::size_t column = 0; more && pos_ < text_.size();) {
    const std::size_t start = pos_;
    more = ReadField(text_, pos_, field);
    // Nothing between two separators is no column of the header (",," and a
    // leading or trailing ','); a quoted empty name or blanks still count.
    const bool separated = pos_ > start && (text_[pos_ - 1] == ',' || text_[pos_ - 1] == '\n');
    const std::size_t rawLength = pos_ - start - (separated ? 1 : 0);
    if (rawLength == 0) continue;
    std::string_view name = TrimAsciiSpace(field);
    for (int f = 0; f < kContactColumnCount; ++f)
      if (name == FieldName(static_cast<ContactField>(f))) columns_[static_cast<std::size_t>(f)] = column;
    ++column;
  }
  for (ContactField f : {ContactField::Name, ContactField::Mobile, ContactField::Home, ContactField::Company})
    if (columns_[static_cast<std::size_t>(f)] != kNoColumn) return true;
  return false;
}

bool CsvContactReader::ReadContact(ContactRecord& record, ImportOutcome& outcome) {
  std::string field;
  bool more = true;
  for (std::size_t column = 0; more; ++column) {
    more = ReadField(text_, pos_, field);
    for (int f = 0; f < kContactColumnCount; ++f) {
      if (columns_[static_cast<std::size_t>(f)] != column) continue;
      if (!Store(record, static_cast<ContactField>(f), TrimAsciiSpace(field), outcome)) return false;
    }
  }
  return true;
}

bool CsvContactReader::Store(ContactRecord& record, ContactField field, std::string_view value,
                             ImportOutcome& outcome) {
  int message = pbmsg::kNone;
  if (field == ContactField::Name) message = ContactImport::CheckName(value);
  else if (field != ContactField::Email && field != ContactField::Remark) message = ContactImport::CheckNumber(value);
  if (message != pbmsg::kNone) {
    outcome.Fail(message, std::string(FieldName(field)) + " \"" + std::string(value.substr(0, kDetailBytes)) + "\" is refused");
    return false;
  }
  SetFieldValue(record, field, ContactImport::Shorten(field, value));
  return true;
}

bool CsvContactReader::AtBlankLine() const {
  std::string_view line = text_.substr(pos_, LineEnd(text_, pos_) - pos_);
  return line.empty() || line == "\r";
}

void CsvContactReader::SkipLine() {
  std::size_t end = LineEnd(text_, pos_);
  pos_ = end < text_.size() ? end + 1 : end;
}

}  // namespace evdo
