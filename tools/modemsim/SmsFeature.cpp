#include "tools/modemsim/SmsFeature.h"

#include <cstdio>
#include <ctime>

#include "core/text/CodePage.h"
#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {
namespace {

constexpr int kCmsInvalidIndex = 321;
constexpr int kCmsMemoryFull = 322;
constexpr int kCmsOperationNotAllowed = 302;

// Quoted fields of an argument list: "A","B" or "A" gives A, B.
std::vector<std::string> QuotedArgs(std::string_view args) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < args.size()) {
    std::size_t open = args.find('"', pos);
    if (open == std::string_view::npos) break;
    std::size_t close = args.find('"', open + 1);
    if (close == std::string_view::npos) break;
    out.emplace_back(args.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return out;
}

bool ParseIndex(std::string_view text, int& out) { return ParseNumber(text, 0, 100000, out); }

std::string Stamp() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buffer[40];
  std::strftime(buffer, sizeof buffer, "%y/%m/%d,%H:%M:%S+32", &tm);
  return buffer;
}

std::string Q(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool IsNumber(std::string_view number) {
  if (number.empty() || number.size() > 40) return false;
  for (char c : number)
    if (!((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')) return false;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int SmsFeature::Storage::FreeIndex() const {
  for (int i = 0; i < capacity; ++i)
    if (!messages.contains(i)) return i;
  return -1;
}

SmsFeature::Storage* SmsFeature::Find(std::string_view name) {
  if (name == "ME") return &me;
  if (name == "SM") return &sm;
  return nullptr;
}

std::string SmsFeature::EncodeHex(std::string_view utf8) {
  std::string out;
  char buffer[8];
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(unit));
    out += buffer;
  }
  return out;
}

std::string SmsFeature::DecodeHex(std::string_view hex) {
  std::u16string units;
  for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
    int value = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      int digit = HexValue(hex[i + k]);
      if (digit < 0) return Utf16ToUtf8(units) + "?";
      value = value * 16 + digit;
    }
    units.push_back(static_cast<char16_t>(value));
  }
  return Utf16ToUtf8(units);
}

void SmsFeature::SplitBlock(const std::string& block, std::string& header, std::string& text) const {
  int fo = 0;
  ParseNumber(parameters.substr(0, parameters.find(',')), 0, 255, fo);
  std::string_view body = block;
  header.clear();
  if ((fo & 0x40) != 0 && body.size() >= 2) {
    int length = HexValue(body[0]) * 16 + HexValue(body[1]);
    std::size_t digits = 2 + 2 * static_cast<std::size_t>(length < 0 ? 0 : length);
    if (digits <= body.size()) {
      header = std::string(body.substr(0, digits));
      body.remove_prefix(digits);
    }
  }
  text = DecodeHex(body);
}

bool SmsFeature::SendFails() {
  if (failNext <= 0) return false;
  if (failAfter > 0) {
    --failAfter;
    return false;
  }
  --failNext;
  return true;
}

void SmsFeature::AnswerSelection(ModemReply& reply) {
  Storage* read = Find(readStorage);
  Storage* write = Find(writeStorage);
  reply.Info("$QCPMS: " + std::to_string(read->Used()) + "," + std::to_string(read->capacity) + "," +
             std::to_string(write->Used()) + "," + std::to_string(write->capacity));
  reply.Ok();
}

void SmsFeature::Install(ModemEngine& engine) {
  InstallCommands(engine);
  engine.Controls().Add(
      "sms",
      "sms deliver [--storage ME|SM|direct] [--parts N] [--drop K] NUMBER TEXT\n"
      "          | report NUMBER STATUS | sent | storage ME|SM | capacity ME|SM N\n"
      "          | fail-next [N] [--after K] [--code C]\n"
      "                          a message to the dashboard (stored with +CMTI, or +CMT; in N parts,\n"
      "                          part K never coming), a delivery report (+CDS, status 0 delivered),\n"
      "                          what was sent, a storage's messages, its capacity, failing sends",
      [this, &engine](std::string_view args) { return Control(engine, args); });
}

void SmsFeature::InstallCommands(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.Add("AT$QCPMS=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::vector<std::string> names = QuotedArgs(args);
    if (names.empty() || names.size() > 2 || !Find(names[0]) || (names.size() == 2 && !Find(names[1])))
      return reply.CmsError(kCmsOperationNotAllowed);
    readStorage = names[0];
    if (names.size() == 2) writeStorage = names[1];
    AnswerSelection(reply);
  });
  commands.Add("AT$QCMGR=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    int index = 0;
    Storage* storage = Find(readStorage);
    ++reads;
    if (!ParseIndex(args, index) || index >= storage->capacity) return reply.CmsError(kCmsInvalidIndex);
    auto it = storage->messages.find(index);
    if (it == storage->messages.end()) return reply.Ok();  // an empty location
    Stored& m = it->second;
    const bool received = m.status == "REC UNREAD" || m.status == "REC READ";
    std::string line = "$QCMGR: " + Q(m.status) + "," + Q(m.number);
    if (received) line += "," + Q(m.stamp);
    line += "," + Q(m.serviceCentre);
    if (!m.partInfo.empty()) line += "," + Q(m.partInfo);
    reply.Info(line);
    reply.Info(m.hexText);
    if (m.status == "REC UNREAD") m.status = "REC READ";
    reply.Ok();
  });
  commands.Add("AT+CMGW=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::vector<std::string> fields = QuotedArgs(args);
    if (fields.size() < 2 || (!fields[0].empty() && !IsNumber(fields[0]))) return reply.Error();
    std::string status = fields[1];
    if (status != "REC UNREAD" && status != "REC READ" && status != "STO UNSENT" && status != "STO SENT")
      return reply.Error();
    Storage* storage = Find(writeStorage);
    if (storage->FreeIndex() < 0) return reply.CmsError(kCmsMemoryFull);
    std::string number = fields[0];
    std::string stamp = fields.size() > 2 ? fields[2] : Stamp();
    reply.Prompt([this, number, status, stamp](ModemEngine& e, const std::string& text, ModemReply& r) {
      Storage* target = Find(writeStorage);
      int index = target->FreeIndex();
      if (index < 0) return r.CmsError(kCmsMemoryFull);
      Stored m;
      m.status = status;
      m.number = number;
      m.stamp = stamp;
      if (auto* device = e.Feature<DeviceStatusFeature>()) m.serviceCentre = device->serviceCentre;
      std::string header;
      SplitBlock(text, header, m.text);
      m.hexText = EncodeHex(m.text);
      // A header 050003RRTTSS or 060804RRRRTTSS becomes the part information.
      if (header.size() == 12 || header.size() == 14) {
        const bool wide = header.size() == 14;
        int ref = std::stoi(header.substr(6, wide ? 4 : 2), nullptr, 16);
        int total = std::stoi(header.substr(wide ? 10 : 8, 2), nullptr, 16);
        int seq = std::stoi(header.substr(wide ? 12 : 10, 2), nullptr, 16);
        m.partInfo = std::to_string(ref) + "/" + std::to_string(seq) + "/" + std::to_string(total);
      }
      target->messages[index] = m;
      r.Info("+CMGW: " + std::to_string(index));
      r.Ok();
    });
  });
  commands.Add("AT$QCMGD=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    int index = 0;
    Storage* storage = Find(readStorage);
    if (!ParseIndex(args, index) || index >= storage->capacity) return reply.CmsError(kCmsInvalidIndex);
    storage->messages.erase(index);
    reply.Ok();
  });
  commands.Add("AT+CSCA=", [](ModemEngine& e, std::string_view args, ModemReply& reply) {
    std::vector<std::string> fields = QuotedArgs(args);
    if (fields.size() != 1 || !IsNumber(fields[0])) return reply.Error();
    if (auto* device = e.Feature<DeviceStatusFeature>()) device->serviceCentre = fields[0];
    reply.Ok();
  });
  commands.Add("AT$QCSMP=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::vector<std::string_view> values;
    std::size_t pos = 0;
    while (true) {
      std::size_t comma = args.find(',', pos);
      values.push_back(args.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
      if (comma == std::string_view::npos) break;
      pos = comma + 1;
    }
    int value = 0;
    if (values.size() != 4) return reply.Error();
    for (std::size_t i = 0; i < 4; ++i) {
      if (i == 1 && values[i].empty()) continue;  // no validity period
      if (!ParseNumber(values[i], 0, 255, value)) return reply.Error();
    }
    parameters = std::string(args);
    reply.Ok();
  });
  commands.Add("AT$QCMGS=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::vector<std::string> fields = QuotedArgs(args);
    std::size_t comma = args.rfind(',');
    if (fields.size() != 1 || !IsNumber(fields[0]) || comma == std::string_view::npos) return reply.Error();
    std::string type(args.substr(comma + 1));
    if (type != "129" && type != "145") return reply.Error();
    std::string number = fields[0];
    reply.Prompt([this, number, type](ModemEngine&, const std::string& text, ModemReply& r) {
      if (SendFails()) return r.CmsError(failCode);
      Sent s{number, type, parameters, {}, {}};
      SplitBlock(text, s.header, s.text);
      sent.push_back(std::move(s));
      messageReference = (messageReference + 1) % 256;
      r.Info("$QCMGS: " + std::to_string(messageReference));
      r.Ok();
    });
  });
  commands.Add("AT+CPMS=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::vector<std::string> names = QuotedArgs(args);
    if (names.size() != 3 || !Find(names[2])) return reply.CmsError(kCmsOperationNotAllowed);
    preferredStorage = names[2];
    Storage* s = Find(preferredStorage);
    std::string counts = std::to_string(s->Used()) + "," + std::to_string(s->capacity);
    reply.Info("+CPMS: " + counts + "," + counts + "," + counts);
    reply.Ok();
  });
  commands.Add("AT$QCNMI=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    std::size_t comma = args.find(',');
    int mode = 0, mt = 0;
    if (comma == std::string_view::npos || !ParseNumber(args.substr(0, comma), 0, 3, mode) ||
        !ParseNumber(args.substr(comma + 1), 0, 3, mt))
      return reply.Error();
    routingMode = mode;
    routingMt = mt;
    reply.Ok();
  });
}

ControlResult SmsFeature::Deliver(ModemEngine& engine, std::string_view args) {
  std::string where = routingMt == 2 ? "direct" : preferredStorage;
  int parts = 0, drop = 0;
  // Options first; the text is the rest of the line after the number.
  while (args.starts_with("--")) {
    std::size_t space = args.find(' ');
    if (space == std::string_view::npos) return ControlResult::Fail("an option needs a value");
    std::string_view option = args.substr(0, space);
    args.remove_prefix(space + 1);
    std::size_t end = args.find(' ');
    std::string_view value = args.substr(0, end);
    args = end == std::string_view::npos ? std::string_view{} : args.substr(end + 1);
    if (option == "--storage") {
      if (value != "ME" && value != "SM" && value != "direct") return ControlResult::Fail("--storage ME|SM|direct");
      where = std::string(value);
    } else if (option == "--parts") {
      if (!ParseNumber(value, 1, 5, parts)) return ControlResult::Fail("--parts needs 1..5");
    } else if (option == "--drop") {
      if (!ParseNumber(value, 1, 5, drop)) return ControlResult::Fail("--drop needs 1..5");
    } else {
      return ControlResult::Fail("unknown option " + std::string(option));
    }
  }
  std::size_t space = args.find(' ');
  if (space == std::string_view::npos) return ControlResult::Fail("sms deliver ... NUMBER TEXT");
  std::string number(args.substr(0, space));
  std::u16string text = Utf8ToUtf16(args.substr(space + 1));
  if (!IsNumber(number)) return ControlResult::Fail("the number may hold only 0-9, *, # and +");
  if (text.empty()) return ControlResult::Fail("the text is empty");
  if (parts == 0) parts = text.size() <= 160 ? 1 : static_cast<int>((text.size() + 152) / 153);
  if (parts > 5 || static_cast<int>(text.size()) < parts) return ControlResult::Fail("too many parts for the text");
  if (drop > parts) return ControlResult::Fail("--drop names a part that does not exist");
  std::string serviceCentre = "+8613800100500";
  if (auto* device = engine.Feature<DeviceStatusFeature>()) serviceCentre = device->serviceCentre;
  const int reference = deliverReference;
  deliverReference = (deliverReference + 1) % 256;
  const std::size_t chunk = (text.size() + static_cast<std::size_t>(parts) - 1) / static_cast<std::size_t>(parts);
  for (int part = 1; part <= parts; ++part) {
    std::u16string piece = text.substr(static_cast<std::size_t>(part - 1) * chunk, chunk);
    if (part == drop || piece.empty()) continue;
    Stored m{"REC UNREAD", number, Stamp(), serviceCentre, {}, {}, Utf16ToUtf8(piece)};
    if (parts > 1) m.partInfo = std::to_string(reference) + "/" + std::to_string(part) + "/" + std::to_string(parts);
    m.hexText = EncodeHex(m.text);
    if (where == "direct") {
      std::string header = "+CMT: " + Q(m.number) + "," + Q(m.stamp) + "," + Q(m.serviceCentre);
      if (!m.partInfo.empty()) header += "," + Q(m.partInfo);
      engine.SendRaw("\r\n" + header + "\r\n" + m.hexText + "\r\n");
      continue;
    }
    Storage* storage = Find(where);
    int index = storage->FreeIndex();
    if (index < 0) {
      engine.Notify("+CMTI: " + Q(where) + ",-1");
      break;
    }
    storage->messages[index] = m;
    engine.Notify("+CMTI: " + Q(where) + "," + std::to_string(index));
  }
  return {};
}

ControlResult SmsFeature::List(std::string_view name) const {
  const Storage* storage = name == "ME" ? &me : name == "SM" ? &sm : nullptr;
  if (storage == nullptr) return ControlResult::Fail("sms storage ME|SM");
  std::string out = std::string(name) + " " + std::to_string(storage->Used()) + "/" +
                    std::to_string(storage->capacity) + "\n";
  for (const auto& [index, m] : storage->messages) {
    out += std::to_string(index) + " " + Q(m.status) + " " + Q(m.number) + " " + Q(m.partInfo) + " " +
           Q(m.text) + "\n";
  }
  return {true, out};
}

ControlResult SmsFeature::Control(ModemEngine& engine, std::string_view args) {
  std::size_t space = args.find(' ');
  std::string_view verb = args.substr(0, space);
  std::string_view rest = space == std::string_view::npos ? std::string_view{} : args.substr(space + 1);
  std::vector<std::string_view> words = SplitWords(rest);
  if (verb == "deliver") return Deliver(engine, rest);
  if (verb == "report" && words.size() == 2) {
    if (!IsNumber(words[0])) return ControlResult::Fail("the number may hold only 0-9, *, # and +");
    int status = 0;
    if (!ParseNumber(words[1], 0, 255, status)) return ControlResult::Fail("the status is a number 0..255");
    const std::string stamp = Stamp();
    engine.Notify("+CDS: 6," + std::to_string(messageReference) + "," + Q(words[0]) + ",129," + Q(stamp) + "," +
                  Q(stamp) + "," + std::to_string(status));
    return {};
  }
  if (verb == "sent" && words.empty()) {
    std::string out;
    for (const Sent& s : sent)
      out += Q(s.number) + " " + s.type + " " + s.parameters + " " + Q(s.header) + " " + Q(s.text) + "\n";
    return {true, out};
  }
  if (verb == "storage" && words.size() == 1) return List(words[0]);
  if (verb == "capacity" && words.size() == 2) {
    Storage* storage = Find(words[0]);
    int capacity = 0;
    // Beyond what the dashboard's lists hold (1024 "ME", 256 "SM"), so that
    // their bounds can be tried.
    if (storage == nullptr || !ParseNumber(words[1], 0, 10000, capacity))
      return ControlResult::Fail("sms capacity ME|SM N (0..10000)");
    storage->capacity = capacity;
    return {};
  }
  if (verb == "fail-next") {
    int count = 1, after = 0, code = kDefaultErrorCode;
    std::size_t i = 0;
    if (i < words.size() && !words[i].starts_with("--")) {
      if (!ParseNumber(words[i], 0, 1000, count)) return ControlResult::Fail("fail-next N: 0..1000");
      ++i;
    }
    for (; i + 1 < words.size(); i += 2) {
      if (words[i] == "--after" && ParseNumber(words[i + 1], 0, 1000, after)) continue;
      if (words[i] == "--code" && ParseNumber(words[i + 1], 0, 999, code)) continue;
      return ControlResult::Fail("fail-next [N] [--after K] [--code C]");
    }
    if (i != words.size()) return ControlResult::Fail("fail-next [N] [--after K] [--code C]");
    failNext = count;
    failAfter = after;
    failCode = code;
    return {};
  }
  return ControlResult::Fail("sms deliver|report|sent|storage|capacity|fail-next (see help)");
}

void SmsFeature::Describe(std::string& out) const {
  out += "sms ME " + std::to_string(me.Used()) + "/" + std::to_string(me.capacity) + " SM " +
         std::to_string(sm.Used()) + "/" + std::to_string(sm.capacity) + " read " + readStorage + " write " +
         writeStorage + " preferred " + preferredStorage + " parameters " + parameters + " routing " +
         std::to_string(routingMode) + "," + std::to_string(routingMt) + " sent " + std::to_string(sent.size()) +
         " fail-next " + std::to_string(failNext) + "\n";
}

}  // namespace evdo::modemsim
