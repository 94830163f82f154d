#include "phonebook/PbData.h"

#include <algorithm>
#include <cstring>

#include "core/text/CodePage.h"
#include "core/text/TextRules.h"
#include "phonebook/ContactPicture.h"

namespace evdo {
namespace {

// Searched in this order; the first prefix a number starts with is removed.
constexpr std::array<std::string_view, 26> kCountryPrefixes = {
    "+65",  "+852", "+86",  "+886", "+1",   "+27", "+30", "+31", "+351", "+359", "+385", "+39", "+40",
    "+44",  "+46",  "+49",  "+504", "+53",  "+55", "+61", "+62", "+64",  "+90",  "+91",  "+94", "+961"};

constexpr std::size_t kFoundNameBytes = 32;

}  // namespace

CPbData::CPbData() {
  std::memset(records_.data(), 0, sizeof records_);
  ResetPositionMap();
}

LoadResult CPbData::Load(const std::string& fileName) {
  file_.SetPath(fileName.empty() ? std::string(kPbDataFile) : fileName);
  LoadFromBytes({});
  LoadResult r = file_.Load([this](const Bytes& content, std::string& error) {
    for (const std::string& problem : LoadFromBytes(content)) error += (error.empty() ? "" : "; ") + problem;
    return error.empty();
  });
  if (r.status == LoadStatus::Unreadable) LoadFromBytes({});
  // A missing file is created empty; a damaged one set aside is replaced by
  // the contacts that could be read, so that the next start shows what this
  // one shows.
  if (r.status == LoadStatus::Missing || (r.status == LoadStatus::Damaged && !file_.SavesRefused())) {
    if (FileResult w = Save(count_); !w) r.error += (r.error.empty() ? "" : "; ") + w.error;
  }
  return r;
}

std::vector<std::string> CPbData::LoadFromBytes(const Bytes& content) {
  std::memset(records_.data(), 0, sizeof records_);
  std::vector<std::string> problems;
  count_ = PbDataFile::Decode(content, records_.data(), problems);
  ResetPositionMap();
  return problems;
}

FileResult CPbData::Save(int n) {
  const Bytes content = PbDataFile::Encode(records_.data(), n);
  if (save_ && !file_.SavesRefused()) return save_(file_.Path(), content);
  return file_.Save(content);
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

ChangeResult CPbData::Add(const ContactRecord& record, int position) {
  if (position >= kMaxContacts || count_ >= kMaxContacts) return ChangeResult::Refused("the phonebook holds " + std::to_string(kMaxContacts) + " contacts", pbmsg::kStoreFull);
  if (position < 0 || position > count_) position = count_;
  if (InBatch()) {
    if (file_.SavesRefused()) return {false, Save(0), pbmsg::kAddFailed};
    InsertAt(record, count_, count_);
    ++count_;
    ResetPositionMap();
    return ChangeResult::Saved(FileResult::Ok());
  }
  InsertAt(record, position, count_);
  if (FileResult w = Save(count_ + 1); !w) {
    RemoveAt(position, count_ + 1);
    return {false, w, pbmsg::kAddFailed};
  }
  ++count_;
  ResetPositionMap();
  return ChangeResult::Saved(FileResult::Ok());
}

void CPbData::BeginBatch() {
  if (!InBatch()) batchStart_ = count_;
}

ChangeResult CPbData::EndBatch() {
  if (!InBatch()) return ChangeResult::Saved(FileResult::Ok());
  const int start = batchStart_;
  batchStart_ = -1;
  if (count_ == start) return ChangeResult::Saved(FileResult::Ok());
  if (FileResult w = Save(count_); !w) {
    for (int i = start; i < count_; ++i) records_[static_cast<std::size_t>(i)] = EmptyContact();
    count_ = start;
    ResetPositionMap();
    return {false, w, pbmsg::kAddFailed};
  }
  return ChangeResult::Saved(FileResult::Ok());
}

ChangeResult CPbData::Modify(const ContactRecord& record, int index) {
  if (index < 0 || index >= count_) return ChangeResult::Refused("no contact " + std::to_string(index), pbmsg::kModifyFailed);
  auto& slot = records_[static_cast<std::size_t>(index)];
  const ContactRecord old = slot;
  slot = record;
  if (FileResult w = Save(count_); !w) {
    slot = old;
    return {false, w, pbmsg::kModifyFailed};
  }
  return ChangeResult::Saved(FileResult::Ok());
}

ChangeResult CPbData::Delete(int position) {
  int index = RecordAt(position);
  if (index < 0) return ChangeResult::Refused("no contact at position " + std::to_string(position), pbmsg::kModifyFailed);
  const ContactRecord kept = records_[static_cast<std::size_t>(index)];
  RemoveAt(index, count_);
  if (FileResult w = Save(count_ - 1); !w) {
    InsertAt(kept, index, count_ - 1);
    return {false, w, pbmsg::kModifyFailed};
  }
  --count_;
  ResetPositionMap();
  return ChangeResult::Saved(FileResult::Ok());
}

ChangeResult CPbData::ClearAll() {
  // The empty file is written first: when that fails nothing is lost.
  if (FileResult w = Save(0); !w) return {false, w, pbmsg::kClearFailed};
  std::memset(records_.data(), 0, sizeof records_);
  count_ = 0;
  ResetPositionMap();
  ContactPicture::DeleteAllIn(pictureFolder_);
  return ChangeResult::Saved(FileResult::Ok());
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
  return std::all_of(text.begin(), text.end(), [](char c) { return IsDialCharacter(c) || c == kBackspace; });
}

}  // namespace evdo
