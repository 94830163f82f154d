#include "internet/ConnProfileRules.h"

#include "core/text/FixedText.h"

namespace evdo {
namespace {

void PutText(char* field, std::size_t width, std::size_t maxBytes, std::string_view text) {
  SetFieldText(field, width, CutToBytes(text, maxBytes));
}

bool EditTextsTooLong(const ProfileFields& f) {
  return f.phoneNumber.size() > kProfilePhoneMax || f.userName.size() > kProfileUserMax ||
         f.password.size() > kProfilePasswordMax;
}

}  // namespace

int CheckNewProfile(const ProfileFields& f, const CConnProfile& store) {
  if (f.name.empty() || f.phoneNumber.empty()) return kMsgProfileNameOrNumberEmpty;
  if (store.ExistsByName(f.name)) return kMsgProfileNameTaken;
  if (f.name.size() > kProfileNameMax || EditTextsTooLong(f) || f.apn.size() > kProfileApnMax)
    return kMsgProfileTooLongNew;
  return kProfileOk;
}

int CheckPageFields(const ProfileFields& f) {
  if (f.phoneNumber.empty()) return kMsgProfileNameOrNumberEmpty;
  if (EditTextsTooLong(f)) return kMsgProfileTooLongEdit;
  return kProfileOk;
}

int CheckManagerFields(const ProfileFields& f) {
  if (int m = CheckPageFields(f); m != kProfileOk) return m;
  return f.apn.size() > kProfileApnMax ? kMsgProfileTooLongEdit : kProfileOk;
}

int CheckNewAllowed(const CConnProfile& store) { return store.IsFull() ? kMsgProfilesFull : kProfileOk; }

ProfileFields FieldsOf(const ConnProfileRecord& r) {
  ProfileFields f;
  f.isDefault = r.isDefault != 0;
  f.authType = r.authType;
  f.name = FieldText(r.name);
  f.phoneNumber = FieldText(r.phoneNumber);
  f.userName = FieldText(r.userName);
  f.password = FieldText(r.password);
  f.apn = FieldText(r.apn);
  return f;
}

ConnProfileRecord RecordFromNewProfile(const ProfileFields& f) {
  ConnProfileRecord r{};
  PutText(r.name, kProfileNameField, kProfileNameMax, f.name);
  ApplyManagerFields(r, f);
  return r;
}

void ApplyPageFields(ConnProfileRecord& r, const ProfileFields& f) {
  r.isDefault = f.isDefault ? 1 : 0;
  r.authType = f.authType;
  PutText(r.phoneNumber, kProfilePhoneField, kProfilePhoneMax, f.phoneNumber);
  PutText(r.userName, kProfileUserField, kProfileUserMax, f.userName);
  PutText(r.password, kProfilePasswordField, kProfilePasswordMax, f.password);
}

void ApplyManagerFields(ConnProfileRecord& r, const ProfileFields& f) {
  ApplyPageFields(r, f);
  PutText(r.apn, kProfileApnField, kProfileApnMax, f.apn);
}

ConnProfileRecord MakeDefaultProfile(const CSetupData& setup) {
  ProfileFields f;
  f.isDefault = true;
  f.authType = kAuthChap;
  f.name = FieldText(setup.Internet_szDefaultConnName);
  f.phoneNumber = FieldText(setup.Internet_szLocalPhoneNumber);
  f.userName = FieldText(setup.Internet_szUserName);
  f.password = FieldText(setup.Internet_szPassword);
  f.apn = FieldText(setup.Internet_szAPN);
  return RecordFromNewProfile(f);
}

FileResult AddDefaultProfileIfEmpty(CConnProfile& store, const CSetupData& setup) {
  if (!store.IsEmpty()) return FileResult::Ok();
  return store.Add(MakeDefaultProfile(setup)).saved;
}

int InitialSelection(CConnProfile& store) {
  const int index = store.MarkSelected();
  return index < store.Count() ? index : 0;
}

int SelectionAfterEdit(const CConnProfile& store, std::string_view previousName) {
  const int index = store.IndexByName(previousName);
  return index < 0 ? 0 : index;
}

}  // namespace evdo
