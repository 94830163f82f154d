#include "phonebook/PbData.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "core/text/CodePage.h"
#include "phonebook/ContactPicture.h"

namespace evdo {
namespace {

// Searched in this order; the first prefix a number starts with is removed.
constexpr std::array<std::string_view, 26> kCountryPrefixes = {
    "+65",  "+852", "+86",  "+886", "+1",   "+27", "+30", "+31", "+351", "+359", "+385", "+39", "+40",
    "+44",  "+46",  "+49",  "+504", "+53",  "+55", "+61", "+62", "+64",  "+90",  "+91",  "+94", "+961"};

constexpr std::size_t kFoundNameBytes = 32;

// The attribute step before a load: a read-only file is made writable, as
// the store has always cleared the read-only attribute.
void MakeWritable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

}  // namespace

CPbData::CPbData() : save_([](const std::string& path, const Bytes& content) {
                       return DataFile::Write(path, content);
                     }) {
  std::memset(records_.data(), 0, sizeof records_);
  ResetPositionMap();
}

bool CPbData::Load(const std::string& fileName) {
  path_ = fileName.empty() ? std::string(kPbDataFile) : fileName;
  report_ = {};
  LoadFromBytes({});
  MakeWritable(path_);
  Bytes content;
  LoadResult read = DataFile::Read(path_, content);
  if (read.status == LoadStatus::Missing) {
    FileResult created = save_(path_, {});
    if (created) return true;
    report_.loaded = false;
    report_.problems.push_back(created.error);
    return false;
  }
  if (read.status == LoadStatus::Failed) {
    report_.loaded = false;
    SetAsideUnsound({read.error});
    return false;
  }
  std::vector<std::string> problems = LoadFromBytes(content);
  if (!problems.empty()) SetAsideUnsound(std::move(problems));
  return true;
}

void CPbData::SetAsideUnsound(std::vector<std::string> problems) {
  report_.problems = std::move(problems);
  report_.setAsidePath = DataFile::SetAside(path_);
  if (report_.setAsidePath.empty()) {
    report_.savesBlocked = true;
    report_.problems.push_back("cannot be set aside; changes are not saved until it is moved away");
    return;
  }
  // The contacts that could be read become the new file, so that the next
  // start shows what this one shows; the original stays set aside.
  if (FileResult w = Save(count_); !w) report_.problems.push_back(w.error);
}

std::vector<std::string> CPbData::LoadFromBytes(const Bytes& content) {
  std::memset(records_.data(), 0, sizeof records_);
  std::vector<std::string> problems;
  count_ = PbDataFile::Decode(content, records_.data(), problems);
  ResetPositionMap();
  return problems;
}

FileResult CPbData::Save(int n) {
  if (report_.savesBlocked)
    return FileResult::Fail(path_ + " could not be set aside after a failed load; it is not overwritten");
  return save_(path_, PbDataFile::Encode(records_.data(), n));
}

bool CPbData::Get(int index, ContactRecord& out) const {
  if (index < 0 || index >= count_) return false;
  out = records_[static_cast<std::size_t>(index)];
  return true;
}

void CPbData::InsertAt(const ContactRecord& record, int position, int n) {
  for (int i = n; i > position; --i) records_[static_cast<std::size_t>(i)] = records_[static_cast<std::size_t>(i - 1)];
  records_[static_cast<std::size_t>(position)] = record;
}

void CPbData::RemoveAt(int position, int n) {
  for (int i = position; i + 1 < n; ++i) records_[static_cast<std::size_t>(i)] = records_[static_cast<std::size_t>(i) + 1];
  records_[static_cast<std::size_t>(n) - 1] = EmptyContact();
}

PbStatus CPbData::Add(const ContactRecord& record, int position) {
  if (position >= kMaxContacts || count_ >= kMaxContacts) return PbStatus::Fail(pbmsg::kStoreFull);
  if (position < 0 || position > count_) position = count_;
  if (InBatch()) {
    if (report_.savesBlocked) return PbStatus::Fail(pbmsg::kAddFailed, Save(0).error);
    InsertAt(record, count_, count_);
    ++count_;
    ResetPositionMap();
    return PbStatus::Ok();
  }
  InsertAt(record, position, count_);
  if (FileResult w = Save(count_ + 1); !w) {
    RemoveAt(position, count_ + 1);
    return PbStatus::Fail(pbmsg::kAddFailed, w.error);
  }
  ++count_;
  ResetPositionMap();
  return PbStatus::Ok();
}

void CPbData::BeginBatch() {
  if (!InBatch()) batchStart_ = count_;
}

PbStatus CPbData::EndBatch() {
  if (!InBatch()) return PbStatus::Ok();
  const int start = batchStart_;
  batchStart_ = -1;
  if (count_ == start) return PbStatus::Ok();
  if (FileResult w = Save(count_); !w) {
    for (int i = start; i < count_; ++i) records_[static_cast<std::size_t>(i)] = EmptyContact();
    count_ = start;
    ResetPositionMap();
    return PbStatus::Fail(pbmsg::kAddFailed, w.error);
  }
  return PbStatus::Ok();
}

PbStatus CPbData::Modify(const ContactRecord& record, int index) {
  if (index < 0 || index >= count_) return PbStatus::Fail(pbmsg::kModifyFailed, "no contact " + std::to_string(index));
  auto& slot = records_[static_cast<std::size_t>(index)];
  const ContactRecord old = slot;
  slot = record;
  if (FileResult w = Save(count_); !w) {
    slot = old;
    return PbStatus::Fail(pbmsg::kModifyFailed, w.error);
  }
  return PbStatus::Ok();
}

PbStatus CPbData::Delete(int position) {
  int index = RecordAt(position);
  if (index < 0) return PbStatus::Fail(pbmsg::kModifyFailed, "no contact at position " + std::to_string(position));
  const ContactRecord kept = records_[static_cast<std::size_t>(index)];
  RemoveAt(index, count_);
  if (FileResult w = Save(count_ - 1); !w) {
    InsertAt(kept, index, count_ - 1);
    return PbStatus::Fail(pbmsg::kModifyFailed, w.error);
  }
  --count_;
  ResetPositionMap();
  return PbStatus::Ok();
}

PbStatus CPbData::ClearAll() {
  // The empty file is written first: when that fails nothing is lost.
  if (FileResult w = Save(0); !w) return PbStatus::Fail(pbmsg::kClearFailed, w.error);
  std::memset(records_.data(), 0, sizeof records_);
  count_ = 0;
  ResetPositionMap();
  ContactPicture::DeleteAllIn(pictureFolder_);
  return PbStatus::Ok();
}

void CPbData::Sort(int column, bool ascending) {
  if (column < 0 || column >= kContactColumnCount || count_ < 2) return;
  QuickSort(static_cast<ContactField>(column), 0, count_ - 1, ascending);
}

// The keys are the records' own fields: the position map is the identity, so
// list position k shows record k, and swapping two records swaps their keys.
void CPbData::QuickSort(ContactField field, int lo, int hi, bool ascending) {
  auto key = [this, field](int k) { return FieldValue(records_[static_cast<std::size_t>(k)], field); };
  // Byte-wise order as strcmp gives it (string_view compares bytes unsigned).
  auto before = [ascending](std::string_view a, std::string_view b) { return ascending ? a < b : b < a; };
  char pivotCopy[kRemarkWidth];  // Remark is the widest sort column
  const std::string_view pivotKey = key((lo + hi) / 2);
  std::memcpy(pivotCopy, pivotKey.data(), pivotKey.size());
  const std::string_view pivot(pivotCopy, pivotKey.size());
  int i = lo, j = hi;
  do {
    while (before(key(i), pivot)) ++i;
    while (before(pivot, key(j))) --j;
    if (i <= j) {
      if (key(i) != key(j)) std::swap(records_[static_cast<std::size_t>(i)], records_[static_cast<std::size_t>(j)]);
      ++i;
      --j;
    }
  } while (i < j);
  if (lo < j) QuickSort(field, lo, j, ascending);
  if (i < hi) QuickSort(field, i, hi, ascending);
}

void CPbData::Search(std::string_view nameTerm, std::string_view numberTerm, PositionList& positions,
                     int& count) const {
  if (nameTerm.empty() && numberTerm.empty()) return;
  count = 0;
  for (int i = 0; i < count_; ++i) {
    const auto& r = records_[static_cast<std::size_t>(i)];
    if (!nameTerm.empty() && FieldValue(r, ContactField::Name).find(nameTerm) == std::string_view::npos) continue;
    if (!numberTerm.empty() && FieldValue(r, ContactField::Mobile).find(numberTerm) == std::string_view::npos)
      continue;
    for (int j = 0; j < count_; ++j) {
      if (map_[static_cast<std::size_t>(j)] == i) {
        positions[static_cast<std::size_t>(count++)] = j;
        break;
      }
    }
  }
}

bool CPbData::MatchesNumber(const ContactRecord& r, std::string_view stripped) const {
  for (ContactField f : kNumberFields) {
    std::string_view stored = FieldValue(r, f);
    // An empty number field never matches (a bare prefix would strip to "").
    if (!stored.empty() && StripCountryPrefix(stored) == stripped) return true;
  }
  return false;
}

bool CPbData::FindContactByNumber(std::string_view number, ContactRecord& out) const {
  if (number.empty()) return false;
  const std::string_view q = StripCountryPrefix(number);
  for (int i = 0; i < count_; ++i) {
    if (MatchesNumber(records_[static_cast<std::size_t>(i)], q)) {
      out = records_[static_cast<std::size_t>(i)];
      return true;
    }
  }
  return false;
}

bool CPbData::FindNameByNumber(std::string_view number, std::string& name) const {
  if (number.empty()) return false;
  const std::string_view q = StripCountryPrefix(number);
  for (int i = 0; i < count_; ++i) {
    const auto& r = records_[static_cast<std::size_t>(i)];
    if (!MatchesNumber(r, q)) continue;
    std::string_view found = CutToBytes(FieldValue(r, ContactField::Name), kFoundNameBytes);
    if (found.empty()) continue;
    name.assign(found);
    return true;
  }
  return false;
}

void CPbData::ResetPositionMap() {
  for (int i = 0; i < kMaxContacts; ++i) map_[static_cast<std::size_t>(i)] = i < count_ ? i : 0;
}

int CPbData::RecordAt(int position) const {
  if (position < 0 || position >= count_) return -1;
  return map_[static_cast<std::size_t>(position)];
}

std::string_view CPbData::StripCountryPrefix(std::string_view number) {
  for (std::string_view prefix : kCountryPrefixes)
    if (number.starts_with(prefix)) return number.substr(prefix.size());
  return number;
}

bool CPbData::CheckNumberCharacters(std::string_view text) {
  constexpr char kBackspace = '\b';
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+' || c == kBackspace;
  });
}

}  // namespace evdo
