#include "tools/evdo-data/DataTool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text/CodePage.h"
#include "core/text/TextRules.h"
#include "tools/evdo-data/ContactsCommand.h"

namespace evdo::datatool {
namespace {

const std::vector<std::unique_ptr<DataFileFormat>>& Formats() {
  static const auto formats = AllFormats();
  return formats;
}

int Usage(std::ostream& err) {
  err << "usage: evdo-data [--codepage 936|utf-8] check DIR\n"
         "       evdo-data [--codepage 936|utf-8] dump FILE\n"
         "       evdo-data [--codepage 936|utf-8] build FILE.json [OUT]\n"
         "       evdo-data [--codepage 936|utf-8] export-contacts --csv|--vcard PbData.dat OUT\n"
         "       evdo-data [--codepage 936|utf-8] import-contacts IN PbData.dat\n"
         "Texts in the files are in code page 936 unless told otherwise.\n";
  return 2;
}

int Check(const std::string& dir, std::ostream& out) {
  if (!std::filesystem::is_directory(dir)) {
    out << dir << ": not a folder\n";
    return 1;
  }
  int bad = 0, seen = 0;
  for (const auto& format : Formats()) {
    std::string path = (std::filesystem::path(dir) / format->FileName()).string();
    Bytes content;
    LoadResult r = DataFile::Read(path, content);
    if (r.status == LoadStatus::Missing) continue;
    ++seen;
    std::vector<std::string> problems;
    if (r.Failed()) problems.push_back(r.error);
    else problems = format->Check(content);
    if (problems.empty()) {
      out << format->FileName() << ": ok\n";
      continue;
    }
    ++bad;
    for (const auto& p : problems) out << format->FileName() << ": " << p << "\n";
  }
  if (seen == 0) out << dir << ": no data files\n";
  return bad == 0 ? 0 : 1;
}

int Dump(const std::string& path, std::ostream& out, std::ostream& err) {
  const DataFileFormat* format = FindFormat(path);
  if (!format) {
    err << path << ": not a data file this tool knows\n";
    return 1;
  }
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

int Build(const std::string& jsonPath, std::string outPath, std::ostream& out, std::ostream& err) {
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
  if (outPath.empty())
    outPath = (std::filesystem::path(jsonPath).parent_path() / format->FileName()).string();
  Bytes content;
  try {
    content = format->Build(doc["content"]);
  } catch (const std::exception& e) {
    err << jsonPath << ": " << e.what() << "\n";
    return 1;
  }
  FileResult w = DataFile::Write(outPath, content);
  if (!w) {
    err << w.error << "\n";
    return 1;
  }
  out << "wrote " << outPath << " (" << content.size() << " bytes)\n";
  return 0;
}

}  // namespace

const DataFileFormat* FindFormat(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  for (const auto& f : Formats())
    if (EqualIgnoringAsciiCase(f->FileName(), name)) return f.get();
  return nullptr;
}

int RunDataTool(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = allArgs;
  if (args.size() >= 2 && args[0] == "--codepage") {
    CodePage cp;
    if (!ParseCodePageName(args[1], cp)) {
      err << "unknown code page " << args[1] << " (936 or utf-8)\n";
      return 2;
    }
    SelectSystemCodePage(cp);
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() == 2 && args[0] == "check") return Check(args[1], out);
  if (args.size() == 2 && args[0] == "dump") return Dump(args[1], out, err);
  if ((args.size() == 2 || args.size() == 3) && args[0] == "build")
    return Build(args[1], args.size() == 3 ? args[2] : std::string(), out, err);
  if (!args.empty() && IsContactsCommand(args[0])) return RunContactsCommand(args, out, err);
  return Usage(err);
}

}  // namespace evdo::datatool
