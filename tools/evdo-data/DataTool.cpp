#include "tools/evdo-data/DataTool.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "internet/TrafficSummary.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text/CodePage.h"
#include "core/text/TextRules.h"
#include "tools/evdo-data/ContactsCommand.h"
#include "tools/evdo-data/ToolTexts.h"

namespace evdo::datatool {
namespace {

const std::vector<std::unique_ptr<DataFileFormat>>& Formats() {
  static const auto formats = AllFormats();
  return formats;
}

constexpr const char* kUsage =
    "usage: evdo-data [OPTIONS] check DIR\n"
    "       evdo-data [OPTIONS] check --format NAME FILE\n"
    "       evdo-data [OPTIONS] dump [--format NAME] FILE\n"
    "       evdo-data [OPTIONS] build [--force] FILE.json OUT\n"
    "       evdo-data [OPTIONS] export-contacts --csv|--vcard PbData.dat OUT\n"
    "       evdo-data [OPTIONS] import-contacts [--input-encoding auto|utf-8|gbk] IN PbData.dat\n"
    "       evdo-data [OPTIONS] traffic DIR\n"
    "       evdo-data --help\n"
    "Options:\n"
    "  --codepage 936|utf-8  the code page of the texts in the data files (936 unless told otherwise)\n"
    "  --language FILE       report messages in the words of this language module (lang/chinese.so);\n"
    "                        English by default\n"
    "Commands:\n"
    "  check DIR      checks every data file in DIR; with --format NAME one FILE of that format\n"
    "                 (a renamed copy such as PbData.dat.damaged)\n"
    "  dump FILE      prints FILE as JSON; --format NAME names the format of a renamed file\n"
    "  build          writes the file described by JSON (made by dump) to OUT; an existing OUT is\n"
    "                 replaced only with --force, and kept as OUT.bak; built into an existing\n"
    "                 EVDO.ini, every line the JSON does not set stays as it was\n"
    "  export-contacts, import-contacts  exchange contacts with CSV and vCard files; import reads\n"
    "                 UTF-8 (byte-order mark or multi-byte UTF-8) or GBK and says which\n"
    "  traffic DIR    prints the traffic of today, this month, this year, in total and in each of the\n"
    "                 last 12 months, from LogData.dat and MonthLogData.dat in DIR (nothing is written)\n"
    "Exit status: 0 fine, 1 a file is damaged or a command failed, 2 wrong usage.\n";

int Usage(std::ostream& err) {
  err << kUsage;
  return 2;
}

std::string FormatNames() {
  std::string names;
  for (const auto& f : Formats()) names += (names.empty() ? "" : ", ") + f->FileName();
  return names;
}

// The format named by --format, or the one of the file's name.
const DataFileFormat* FormatFor(const std::string& path, const std::string& formatName, std::ostream& err) {
  if (!formatName.empty()) {
    const DataFileFormat* format = FindFormat(formatName);
    if (!format) err << formatName << ": no such format (" << FormatNames() << ")\n";
    return format;
  }
  const DataFileFormat* format = FindFormat(path);
  if (!format)
    err << path << ": not a data file this tool knows by its name; name its format with --format NAME ("
        << FormatNames() << ")\n";
  return format;
}

// Checks one file; prints "NAME: ok" or its problems. 1 when it has any.
int CheckFile(const std::string& path, const DataFileFormat& format, const std::string& label, std::ostream& out,
              bool& seen) {
  Bytes content;
  LoadResult r = DataFile::Read(path, content);
  if (r.status == LoadStatus::Missing) return 0;
  seen = true;
  std::vector<std::string> problems;
  if (r.Failed()) problems.push_back(r.error);
  else problems = format.Check(content);
  if (problems.empty()) {
    out << label << ": ok\n";
    return 0;
  }
  for (const auto& p : problems) out << label << ": " << p << "\n";
  return 1;
}

int Check(const std::string& dir, std::ostream& out) {
  if (!std::filesystem::is_directory(dir)) {
    out << dir << ": not a folder (to check one file, name its format: check --format NAME FILE)\n";
    return 1;
  }
  int bad = 0;
  bool seen = false;
  for (const auto& format : Formats()) {
    std::string path = (std::filesystem::path(dir) / format->FileName()).string();
    bad += CheckFile(path, *format, format->FileName(), out, seen);
  }
  if (!seen) out << dir << ": no data files\n";
  return bad == 0 ? 0 : 1;
}

int CheckOne(const std::string& path, const std::string& formatName, std::ostream& out, std::ostream& err) {
  const DataFileFormat* format = FormatFor(path, formatName, err);
  if (!format) return 1;
  bool seen = false;
  int result = CheckFile(path, *format, path, out, seen);
  if (!seen) {
    err << path << ": no such file\n";
    return 1;
  }
  return result;
}

int Dump(const std::string& path, const std::string& formatName, std::ostream& out, std::ostream& err) {
  const DataFileFormat* format = FormatFor(path, formatName, err);
  if (!format) return 1;
  Bytes content;
  LoadResult r = DataFile::Read(path, content);
  if (r.status != LoadStatus::Loaded) {
    err << (r.status == LoadStatus::Missing ? path + ": no such file" : r.error) << "\n";
    return 1;
  }
  auto problems = format->Check(content);
  for (const auto& p : problems) err << path << ": " << p << "\n";
  if (!problems.empty() && !format->ReadsAnyContent()) return 1;
  Json doc;
  doc["file"] = format->FileName();
  doc["content"] = format->Dump(content);
  out << doc.dump(2) << "\n";
  return 0;
}

// A free name for the copy of the file being replaced: OUT.bak, OUT.bak-2...
std::string BackupName(const std::string& path) {
  std::string name = path + ".bak";
  for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(name)); ++n)
    name = path + ".bak-" + std::to_string(n);
  return name;
}

int Build(const std::string& jsonPath, const std::string& outPath, bool force, std::ostream& out,
          std::ostream& err) {
  std::ifstream in(jsonPath, std::ios::binary);
  if (!in) {
    err << jsonPath << ": cannot read\n";
    return 1;
  }
  Json doc;
  try {
    doc = Json::parse(in);
  } catch (const std::exception& e) {
    err << jsonPath << ": not JSON: " << e.what() << "\n";
    return 1;
  }
  if (!doc.is_object() || !doc.contains("file") || !doc["file"].is_string() || !doc.contains("content")) {
    err << jsonPath << ": needs \"file\" and \"content\", as evdo-data dump writes them\n";
    return 1;
  }
  const DataFileFormat* format = FindFormat(doc["file"].get<std::string>());
  if (!format) {
    err << jsonPath << ": unknown data file " << doc["file"].get<std::string>() << "\n";
    return 1;
  }
  std::error_code ec;
  const auto outStatus = std::filesystem::symlink_status(outPath, ec);
  const bool exists = std::filesystem::exists(outStatus);
  if (exists && !std::filesystem::is_regular_file(outStatus)) {
    err << outPath << ": not a regular file; nothing written\n";
    return 1;
  }
  if (exists && !force) {
    err << outPath << ": exists; nothing written (--force replaces it and keeps it as " << outPath << ".bak)\n";
    return 1;
  }
  Bytes previous;
  if (exists) {
    LoadResult r = DataFile::Read(outPath, previous);
    if (r.status != LoadStatus::Loaded) {
      err << r.error << "; nothing written\n";
      return 1;
    }
  }
  Bytes content;
  try {
    content = exists ? format->BuildOver(doc["content"], previous) : format->Build(doc["content"]);
  } catch (const std::exception& e) {
    err << jsonPath << ": " << e.what() << "; nothing written\n";
    return 1;
  }
  // Nothing is written that check would reject.
  if (auto problems = format->Check(content); !problems.empty()) {
    for (const auto& p : problems) err << jsonPath << ": " << p << "\n";
    err << jsonPath << ": refused; nothing written\n";
    return 1;
  }
  if (exists) {
    std::string backup = BackupName(outPath);
    FileResult kept = DataFile::Write(backup, previous);
    if (!kept) {
      err << kept.error << "; nothing written\n";
      return 1;
    }
    out << "kept the previous " << outPath << " as " << backup << "\n";
  }
  FileResult w = DataFile::Write(outPath, content);
  if (!w) {
    err << w.error << "\n";
    return 1;
  }
  out << "wrote " << outPath << " (" << content.size() << " bytes)\n";
  return 0;
}

// Takes "--name VALUE" out of args; false (usage) when the value is missing.
bool TakeOption(std::vector<std::string>& args, const char* name, std::string& value, bool& bad) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) {
      bad = true;
      return false;
    }
    value = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return true;
  }
  return false;
}

bool TakeFlag(std::vector<std::string>& args, const char* name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

}  // namespace

const DataFileFormat* FindFormat(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  for (const auto& f : Formats())
    if (EqualIgnoringAsciiCase(f->FileName(), name)) return f.get();
  return nullptr;
}

// Reads a log store without touching the file (a damaged one is reported,
// not set aside). A missing file is an empty store.
template <class Store>
bool ReadStore(const std::filesystem::path& path, Store& store, std::ostream& err) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::ifstream in(path, std::ios::binary);
  Bytes content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    err << path.string() << ": cannot be read\n";
    return false;
  }
  std::string error;
  if (!store.LoadFromBytes(content, error)) {
    err << path.string() << ": " << error << "\n";
    return false;
  }
  return true;
}

int Traffic(const std::string& dir, std::ostream& out, std::ostream& err) {
  if (!std::filesystem::is_directory(dir)) {
    err << dir << ": not a folder\n";
    return 1;
  }
  const std::filesystem::path folder(dir);
  auto log = std::make_unique<CLogData>((folder / kLogDataFile).string());
  auto months = std::make_unique<CMonthLogData>((folder / kMonthLogDataFile).string());
  if (!ReadStore(folder / kLogDataFile, *log, err) || !ReadStore(folder / kMonthLogDataFile, *months, err)) return 1;
  const std::optional<LocalTime> now = DateTime::Now().ToLocal();
  out << TrafficSummaryText(SummariseTraffic(*log, *months, now ? *now : LocalTime{}));
  return 0;
}

int RunDataTool(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = allArgs;
  UseBuiltInTexts();
  // Options before the command.
  while (!args.empty() && args[0].rfind("--", 0) == 0) {
    if (args[0] == "--help") {
      out << kUsage;
      return 0;
    }
    if (args.size() < 2) return Usage(err);
    if (args[0] == "--codepage") {
      CodePage cp;
      if (!ParseCodePageName(args[1], cp)) {
        err << "unknown code page " << args[1] << " (936 or utf-8)\n";
        return 2;
      }
      SelectSystemCodePage(cp);
    } else if (args[0] == "--language") {
      std::string error;
      if (!UseLanguageModule(args[1], error)) {
        err << error << "\n";
        return 2;
      }
    } else {
      err << "unknown option " << args[0] << "\n";
      return Usage(err);
    }
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage(err);
  if (args.size() == 1 && (args[0] == "-h" || args[0] == "help")) {
    out << kUsage;
    return 0;
  }
  const std::string command = args[0];
  if (command == "check" || command == "dump") {
    bool bad = false;
    std::string formatName;
    TakeOption(args, "--format", formatName, bad);
    if (bad || args.size() != 2) return Usage(err);
    if (command == "dump") return Dump(args[1], formatName, out, err);
    if (formatName.empty() && !std::filesystem::is_directory(args[1]) && FindFormat(args[1]) != nullptr)
      return CheckOne(args[1], "", out, err);
    return formatName.empty() ? Check(args[1], out) : CheckOne(args[1], formatName, out, err);
  }
  if (command == "build") {
    bool force = TakeFlag(args, "--force");
    if (args.size() == 2) {
      err << "build needs OUT, the file to write (nothing is written unless named)\n";
      return Usage(err);
    }
    if (args.size() != 3) return Usage(err);
    return Build(args[1], args[2], force, out, err);
  }
  if (command == "traffic") {
    if (args.size() != 2) return Usage(err);
    return Traffic(args[1], out, err);
  }
  if (IsContactsCommand(command)) return RunContactsCommand(args, out, err);
  err << "unknown command " << command << "\n";
  return Usage(err);
}

}  // namespace evdo::datatool
