#include "tools/modemsim/PhonebookFeature.h"

#include <vector>

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

namespace {

constexpr int kCmeNoCard = 10;
constexpr int kCmeNotAllowed = 3;
constexpr int kCmeMemoryFull = 20;
constexpr int kCmeInvalidIndex = 21;
constexpr int kCmeTextTooLong = 24;
constexpr int kCmeDialStringTooLong = 26;

// Fields of an argument list split at commas outside double quotes; quotes
// are kept.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (!quoted && text[i] == ',')) {
      fields.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

// The text inside double quotes; false when it is not quoted.
bool Unquote(std::string_view field, std::string& out) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return false;
  out = std::string(field.substr(1, field.size() - 2));
  return out.find('"') == std::string::npos;
}

bool IsHex(std::string_view text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

bool IsDialString(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0))) return false;
  }
  return true;
}

std::string_view BookName(std::string_view word) { return word == "ME" || word == "me" ? "ME" : "SM"; }

}  // namespace

std::string PhonebookFeature::Utf8ToHex(std::string_view utf8) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = c;
    std::size_t n = 1;
    if (c >= 0xF0) n = 4, cp = c & 0x07;
    else if (c >= 0xE0) n = 3, cp = c & 0x0F;
    else if (c >= 0xC0) n = 2, cp = c & 0x1F;
    if (i + n > utf8.size()) n = 1, cp = '?';
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    auto unit = [&](std::uint32_t u) {
      for (int s = 12; s >= 0; s -= 4) out += kHex[(u >> s) & 0xF];
    };
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::string PhonebookFeature::HexToUtf8(std::string_view hex) {
  std::string out;
  std::uint32_t high = 0;
  for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
    std::uint32_t u = static_cast<std::uint32_t>(std::stoul(std::string(hex.substr(i, 4)), nullptr, 16));
    if (u >= 0xD800 && u < 0xDC00) {
      high = u;
      continue;
    }
    if (u >= 0xDC00 && u < 0xE000 && high != 0) u = 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00);
    high = 0;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (u >> 18));
      out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

bool PhonebookFeature::CardReady(ModemEngine& engine) const {
  const DeviceStatusFeature* status = engine.Feature<DeviceStatusFeature>();
  if (status == nullptr) return true;
  // The card answers once it is present and its PIN is through.
  return status->sim.Current() == SimCard::State::Ready &&
         (status->card == DeviceStatusFeature::Card::Ready || status->card == DeviceStatusFeature::Card::NoService);
}

void PhonebookFeature::Install(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.Add("AT+CPBS", [this](ModemEngine& e, std::string_view args, ModemReply& reply) { Select(e, args, reply); });
  commands.Add("AT+CPBR", [this](ModemEngine& e, std::string_view args, ModemReply& reply) { ReadEntries(e, args, reply); });
  commands.Add("AT+CPBW", [this](ModemEngine& e, std::string_view args, ModemReply& reply) { WriteEntry(e, args, reply); });
  engine.Controls().Add(
      "pb",
      "pb list SM|ME | add SM|ME INDEX NUMBER NAME | clear SM|ME | capacity SM|ME N\n"
      "                          show, fill, empty or resize a phonebook (names in UTF-8)",
      [this](std::string_view args) { return Control(args); });
}

void PhonebookFeature::Select(ModemEngine& engine, std::string_view args, ModemReply& reply) {
  if (args == "=?") {
    reply.Info("+CPBS: (\"SM\",\"ME\")");
    return reply.Ok();
  }
  if (args == "?") {
    if (selected_ == "SM" && !CardReady(engine)) return reply.CmeError(kCmeNoCard);
    const Book& book = BookOf(selected_);
    reply.Info("+CPBS: \"" + selected_ + "\"," + std::to_string(book.entries.size()) + "," +
               std::to_string(book.capacity));
    return reply.Ok();
  }
  std::string name;
  if (args.empty() || args.front() != '=' || !Unquote(args.substr(1), name)) return reply.Error();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name != "SM" && name != "ME") return reply.CmeError(kCmeNotAllowed);
  if (name == "SM" && !CardReady(engine)) return reply.CmeError(kCmeNoCard);
  selected_ = name;
  reply.Ok();
}

void PhonebookFeature::ReadEntries(ModemEngine& engine, std::string_view args, ModemReply& reply) {
  if (selected_ == "SM" && !CardReady(engine)) return reply.CmeError(kCmeNoCard);
  const Book& book = BookOf(selected_);
  if (args == "=?") {
    reply.Info("+CPBR: (1-" + std::to_string(book.capacity) + ")," + std::to_string(kNumberLength) + "," +
               std::to_string(kNameLength));
    return reply.Ok();
  }
  if (args.empty() || args.front() != '=') return reply.Error();
  std::vector<std::string_view> fields = SplitFields(args.substr(1));
  int first = 0, last = 0;
  if (fields.empty() || fields.size() > 2 || !ParseNumber(fields[0], 1, kMaxCapacity, first))
    return reply.CmeError(kCmeInvalidIndex);
  last = first;
  if (fields.size() == 2 && !ParseNumber(fields[1], first, kMaxCapacity, last)) return reply.CmeError(kCmeInvalidIndex);
  if (first > book.capacity) return reply.CmeError(kCmeInvalidIndex);
  for (int i = first; i <= last && i <= book.capacity; ++i) {
    auto it = book.entries.find(i);
    if (it == book.entries.end()) continue;
    reply.Info("+CPBR: " + std::to_string(i) + ",\"" + it->second.number + "\"," + std::to_string(it->second.type) +
               ",\"" + it->second.hexName + "\"");
  }
  reply.Ok();
}

void PhonebookFeature::WriteEntry(ModemEngine& engine, std::string_view args, ModemReply& reply) {
  if (selected_ == "SM" && !CardReady(engine)) return reply.CmeError(kCmeNoCard);
  Book& book = BookOf(selected_);
  if (args == "=?") {
    reply.Info("+CPBW: (1-" + std::to_string(book.capacity) + ")," + std::to_string(kNumberLength) +
               ",(129,145)," + std::to_string(kNameLength));
    return reply.Ok();
  }
  if (args.empty() || args.front() != '=') return reply.Error();
  std::vector<std::string_view> fields = SplitFields(args.substr(1));
  int index = 0;
  if (!fields[0].empty() && !ParseNumber(fields[0], 1, kMaxCapacity, index)) return reply.CmeError(kCmeInvalidIndex);
  if (index > book.capacity) return reply.CmeError(kCmeInvalidIndex);
  if (fields.size() == 1) {  // erase
    if (index == 0) return reply.CmeError(kCmeInvalidIndex);
    book.entries.erase(index);
    return reply.Ok();
  }
  Entry entry;
  if (!Unquote(fields[1], entry.number) || !IsDialString(entry.number)) return reply.CmeError(kCmeNotAllowed);
  if (entry.number.size() > kNumberLength) return reply.CmeError(kCmeDialStringTooLong);
  if (fields.size() >= 3 && !fields[2].empty() && !ParseNumber(fields[2], 0, 255, entry.type))
    return reply.CmeError(kCmeNotAllowed);
  if (fields.size() >= 4 && (!Unquote(fields[3], entry.hexName) || !IsHex(entry.hexName) || entry.hexName.size() % 4))
    return reply.CmeError(kCmeNotAllowed);
  if (fields.size() > 4) return reply.CmeError(kCmeNotAllowed);
  if (entry.hexName.size() / 4 > kNameLength) return reply.CmeError(kCmeTextTooLong);
  for (char& c : entry.hexName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (index == 0) {
    for (int i = 1; i <= book.capacity && index == 0; ++i)
      if (!book.entries.count(i)) index = i;
    if (index == 0) return reply.CmeError(kCmeMemoryFull);
  }
  book.entries[index] = entry;
  reply.Ok();
}

ControlResult PhonebookFeature::Control(std::string_view args) {
  std::vector<std::string_view> words = SplitWords(args);
  if (words.size() < 2 || (words[1] != "SM" && words[1] != "ME" && words[1] != "sm" && words[1] != "me"))
    return ControlResult::Fail("pb needs list, add, clear or capacity and SM or ME");
  Book& book = BookOf(BookName(words[1]));
  if (words[0] == "list") {
    ControlResult r;
    r.text = std::string(BookName(words[1])) + " " + std::to_string(book.entries.size()) + "/" +
             std::to_string(book.capacity) + "\n";
    for (const auto& [index, e] : book.entries)
      r.text += std::to_string(index) + " " + e.number + " " + HexToUtf8(e.hexName) + " [" + e.hexName + "]\n";
    return r;
  }
  if (words[0] == "clear") {
    book.entries.clear();
    return {};
  }
  if (words[0] == "capacity") {
    int n = 0;
    if (words.size() != 3 || !ParseNumber(words[2], 0, kMaxCapacity, n))
      return ControlResult::Fail("capacity needs a number from 0 to " + std::to_string(kMaxCapacity));
    book.capacity = n;
    book.entries.erase(book.entries.upper_bound(n), book.entries.end());
    return {};
  }
  if (words[0] == "add") {
    int index = 0;
    if (words.size() < 4 || !ParseNumber(words[2], 1, book.capacity, index))
      return ControlResult::Fail("add needs a location from 1 to " + std::to_string(book.capacity) +
                                 ", a number and a name");
    Entry e;
    e.number = std::string(words[3]);
    if (words.size() > 4) e.hexName = Utf8ToHex(args.substr(static_cast<std::size_t>(words[4].data() - args.data())));
    book.entries[index] = e;
    return {};
  }
  return ControlResult::Fail("pb: unknown action " + std::string(words[0]));
}

void PhonebookFeature::Describe(std::string& out) const {
  out += "phonebook selected " + selected_ + " SM " + std::to_string(sm_.entries.size()) + "/" +
         std::to_string(sm_.capacity) + " ME " + std::to_string(me_.entries.size()) + "/" +
         std::to_string(me_.capacity) + "\n";
}

}  // namespace evdo::modemsim
