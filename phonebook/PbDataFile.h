#pragma once
// The layout of "PbData.dat": 820-byte contact records one after another up
// to the end of the file, no header and no count.
#include <string>
#include <vector>

#include "core/files/DataFile.h"
#include "phonebook/ContactRecord.h"

namespace evdo {

inline constexpr const char* kPbDataFile = "PbData.dat";
// Records beyond the 200th, and blank records, are skipped when read; a file
// beyond this many records' worth is not a phonebook and is not read.
inline constexpr std::size_t kPbDataMaxFileSize = std::size_t{kMaxContacts} * 8 * kContactFileRecordSize;

class PbDataFile {
public:
  // Decodes one file record of which only n bytes (at most 820) are present;
  // the missing bytes read as zero. Each field is taken up to its first NUL.
  // False when the picture path fills all 261 bytes and had to lose one.
  static bool DecodeRecord(const std::uint8_t* p, std::size_t n, ContactRecord& out);

  // Appends the 820-byte file record of r (bytes after each text are zero).
  static void AppendRecord(Bytes& out, const ContactRecord& r);

  // Reads content as the store loads it: records whose seven fields are all
  // empty are skipped, at most kMaxContacts are taken. records must hold
  // kMaxContacts entries; returns the count. problems receives what a rewrite
  // of the file would lose or change beyond zero padding.
  static int Decode(const Bytes& content, ContactRecord* records, std::vector<std::string>& problems);

  // The file content for the first count records.
  static Bytes Encode(const ContactRecord* records, int count);

  // The problems Decode reports for content; empty when the file is sound.
  static std::vector<std::string> Check(const Bytes& content);
};

}  // namespace evdo
