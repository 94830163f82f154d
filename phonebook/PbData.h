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
#include "core/files/StoreFile.h"
#include "phonebook/ContactRecord.h"
#include "phonebook/PbDataFile.h"
#include "phonebook/PhonebookMessages.h"

namespace evdo {

class CPbData {
public:
  using SaveFunction = std::function<FileResult(const std::string& path, const Bytes& content)>;
  using PositionList = std::array<int, kMaxContacts>;

  CPbData();

  // Reads the file ("" means "PbData.dat"). A missing file is created empty
  // (a failed creation is added to the error). A file whose rewrite would
  // lose contacts is damaged: it is set aside under a new name, what could be
  // read stays loaded and is saved afresh. A file that cannot be read is left
  // as it is, the store is empty and refuses every change. A file far larger
  // than 200 contacts can take is damaged and not read.
  LoadResult Load(const std::string& fileName = "");

  // Fills the store from file content without touching any file; returns
  // the problems found (see PbDataFile::Decode).
  std::vector<std::string> LoadFromBytes(const Bytes& content);
  // The content a save of every record writes.
  Bytes FileContent() const { return PbDataFile::Encode(records_.data(), count_); }

  int Count() const { return count_; }
  bool Get(int index, ContactRecord& out) const;

  // Inserts record at position (callers pass Count() to append).
  ChangeResult Add(const ContactRecord& record, int position);
  ChangeResult Append(const ContactRecord& record) { return Add(record, count_); }
  ChangeResult Modify(const ContactRecord& record, int index);
  ChangeResult Delete(int position);

  // A batch of appends (the file import): Add keeps the new contacts in
  // memory only, and EndBatch writes the file once. When that write fails
  // the contacts added since BeginBatch are dropped again (the file still
  // holds the previous content) and 269 is returned.
  void BeginBatch();
  ChangeResult EndBatch();
  bool InBatch() const { return batchStart_ >= 0; }
  // Empties the store, the file and the picture folder. The window asks
  // question 121 first.
  ChangeResult ClearAll();

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

  const std::string& FilePath() const { return file_.Path(); }
  void SetPictureFolder(std::string folder) { pictureFolder_ = std::move(folder); }
  const std::string& PictureFolder() const { return pictureFolder_; }
  // Replaces the file for saves (tests, fuzzing); refused saves stay refused.
  void SetSaveFunction(SaveFunction save) { save_ = std::move(save); }

private:
  FileResult Save(int n);
  // Insert into or remove from the first n records.
  void InsertAt(const ContactRecord& record, int position, int n);
  void RemoveAt(int position, int n);
  void QuickSort(ContactField field, int lo, int hi, bool ascending);
  bool MatchesNumber(const ContactRecord& r, std::string_view stripped) const;
  StoreFile file_{kPbDataFile, kPbDataMaxFileSize};
  std::string pictureFolder_ = "pic";
  std::array<ContactRecord, kMaxContacts> records_;
  int count_ = 0;
  int batchStart_ = -1;  // count at BeginBatch; -1 outside a batch
  std::array<int, kMaxContacts> map_;
  SaveFunction save_;
};

}  // namespace evdo
