// evdo-lang-table TABLE LANGUAGE CODEPAGE OUT
// Writes the C++ string table of one language module: the LANGUAGE column of
// the table TABLE, texts converted to CODEPAGE ("936" or "utf-8").
#include <cstdio>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"
#include "lang/StringTableSource.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "evdo-lang-table: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace evdo;
  if (argc != 5) return Fail("usage: evdo-lang-table TABLE LANGUAGE CODEPAGE OUT");
  const std::string tablePath = argv[1];
  const std::string_view language = argv[2];
  const std::string_view codePage = argv[3];
  const std::string outPath = argv[4];
  if (codePage != "936" && codePage != "utf-8") return Fail("unknown code page " + std::string(codePage));
  const CodePage cp = codePage == "936" ? CodePage::Cp936 : CodePage::Utf8;

  Bytes source;
  LoadResult read = DataFile::Read(tablePath, source);
  if (read.status != LoadStatus::Loaded)
    return Fail(read.status == LoadStatus::Missing ? tablePath + " is missing" : read.error);
  StringTableSource table;
  std::string error;
  if (!table.Parse(std::string_view(reinterpret_cast<const char*>(source.data()), source.size()), error))
    return Fail(tablePath + ": " + error);
  std::string generated;
  if (!GenerateModuleTable(table, table.LanguageIndex(language), cp, generated, error))
    return Fail(tablePath + ": " + std::string(language) + ": " + error);

  Bytes old;
  if (DataFile::Read(outPath, old).status == LoadStatus::Loaded &&
      std::string_view(reinterpret_cast<const char*>(old.data()), old.size()) == generated)
    return 0;  // unchanged: keep the file's time so nothing rebuilds
  FileResult written = DataFile::Write(outPath, generated.data(), generated.size());
  return written ? 0 : Fail(written.error);
}
