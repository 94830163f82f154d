#pragma once
// CPbData: the contacts kept on the computer, up to 200, in "PbData.dat".
// The whole array lives in memory and every change rewrites the whole file.
// A change whose save fails leaves memory as it was and returns the number
// of the message the window shows.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/DataFile.h"
#include "phonebook/ContactRecord.h"
#include "phonebook/PbDataFile.h"
#include "phonebook/PhonebookMessages.h"

namespace evdo {

// The result of a change: message 0 on success, else the message to show;
// detail tells what went wrong with the file.
struct PbStatus {
  int message = 0;
  std::string detail;
  explicit operator bool() const { return message == 0; }
  static PbStatus Ok() { return {}; }
  static PbStatus Fail(int message, std::string detail = {}) { return {message, std::move(detail)}; }
};

// What the last Load found.
struct PbLoadReport {
  bool loaded = true;                 // false: the file could neither be read nor created
  std::vector<std::string> problems;  // why the file was not sound, or why it could not be read
  std::string setAsidePath;           // where the unsound file was kept; "" when not set aside
  bool savesBlocked = false;          // the unsound file could not be set aside: no save replaces it
};

class CPbData {
public:
  using SaveFunction = std::function<FileResult(const std::string& path, const Bytes& content)>;
  using PositionList = std::array<int, kMaxContacts>;

  CPbData();

  // Reads the file ("" means "PbData.dat"). A missing file is created empty.
  // A file that cannot be read, or whose rewrite would lose contacts, is set
  // aside under a new name and never overwritten; what could be read stays
  // loaded and is saved afresh. False when nothing could be read or created.
  bool Load(const std::string& fileName = "");
  const PbLoadReport& LastLoad() const { return report_; }

  // Fills the store from file content without touching any file; returns
  // the problems found (see PbDataFile::Decode).
  std::vector<std::string> LoadFromBytes(const Bytes& content);
  // The content a save of every record writes.
  Bytes FileContent() const { return PbDataFile::Encode(records_.data(), count_); }

  int Count() const { return count_; }
  bool Get(int index, ContactRecord& out) const;

  // Inserts record at position (callers pass Count() to append).
  PbStatus Add(const ContactRecord& record, int position);
  PbStatus Append(const ContactRecord& record) { return Add(record, count_); }
  PbStatus Modify(const ContactRecord& record, int index);

  // A batch of appends (the file import): Add keeps the new contacts in
  // memory only, and EndBatch writes the file once. When that write fails
  // the contacts added since BeginBatch are dropped again (the file still
  // holds the previous content) and 269 is returned.
  void BeginBatch();
  PbStatus EndBatch();
  bool InBatch() const { return batchStart_ >= 0; }
  PbStatus Delete(int position);
  // Empties the store, the file and the picture folder. The window asks
  // question 121 first.
  PbStatus ClearAll();

  // Rearranges the records by column 0..5 (Name, Mobile, Home, Company,
  // Email, Remark), byte-wise; the new order is saved with the next change.
  void Sort(int column, bool ascending);

  // Positions of the contacts whose Name contains nameTerm and whose Mobile
  // contains numberTerm (an empty term matches all). With both terms empty
  // the result is left as it was.
  void Search(std::string_view nameTerm, std::string_view numberTerm, PositionList& positions, int& count) const;

  bool FindContactByNumber(std::string_view number, ContactRecord& out) const;
  // The first non-empty name (at most 32 bytes) of a contact with number.
  bool FindNameByNumber(std::string_view number, std::string& name) const;

  void ResetPositionMap();
  // The record index shown at a list position; -1 when out of range.
  int RecordAt(int position) const;

  // number without the first prefix of the country table that it starts with.
  static std::string_view StripCountryPrefix(std::string_view number);
  // Only '0'..'9', '*', '#', '+' and backspace; otherwise the caller shows 195.
  static bool CheckNumberCharacters(std::string_view text);

  const std::string& FilePath() const { return path_; }
  void SetPictureFolder(std::string folder) { pictureFolder_ = std::move(folder); }
  const std::string& PictureFolder() const { return pictureFolder_; }
  // Replaces DataFile::Write for saves (tests, fuzzing).
  void SetSaveFunction(SaveFunction save) { save_ = std::move(save); }

private:
  FileResult Save(int n);
  // Insert into or remove from the first n records.
  void InsertAt(const ContactRecord& record, int position, int n);
  void RemoveAt(int position, int n);
  void QuickSort(ContactField field, int lo, int hi, bool ascending);
  bool MatchesNumber(const ContactRecord& r, std::string_view stripped) const;
  void SetAsideUnsound(std::vector<std::string> problems);

  std::string path_ = kPbDataFile;
  std::string pictureFolder_ = "pic";
  std::array<ContactRecord, kMaxContacts> records_;
  int count_ = 0;
  std::array<int, kMaxContacts> map_;
  SaveFunction save_;
  PbLoadReport report_;
  int batchStart_ = -1;  // count at BeginBatch; -1 outside a batch
};

}  // namespace evdo
