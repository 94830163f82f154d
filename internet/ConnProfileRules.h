#pragma once
// The rules of the windows that edit connection profiles: which message a
// window shows for what the user typed, how its fields go into a record, the
// default profile built from the configuration, and the selection rules.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/SetupData.h"
#include "internet/ConnProfile.h"

namespace evdo {

// Message numbers of the language modules; kProfileOk means accepted.
constexpr int kProfileOk = 0;
constexpr int kMsgProfileNameOrNumberEmpty = 222;
constexpr int kMsgProfileNameTaken = 223;
constexpr int kMsgProfileTooLongNew = 224;
constexpr int kMsgProfileTooLongEdit = 302;
constexpr int kMsgProfilesFull = 308;  // formatted with kMaxConnProfiles ("%d")
constexpr int kMsgDeleteProfileQuestion = 389;

// The edit fields of the profile windows; texts in the system code page.
struct ProfileFields {
  bool isDefault = false;
  std::int32_t authType = kAuthChap;
  std::string name;
  std::string phoneNumber;
  std::string userName;
  std::string password;
  std::string apn;
};

// New profile window OK: 222 (name or number empty), 223 (name stored
// already), 224 (a text longer than its field), else kProfileOk.
int CheckNewProfile(const ProfileFields& fields, const CConnProfile& store);
// Internet page save (command 1125): 222, 302 (number over 128, user name or
// password over 256), else kProfileOk.
int CheckPageFields(const ProfileFields& fields);
// Profile manager OK: as the page, and an access point name over 50 gives 302.
int CheckManagerFields(const ProfileFields& fields);
// New on a full store: 308; else kProfileOk.
int CheckNewAllowed(const CConnProfile& store);

ProfileFields FieldsOf(const ConnProfileRecord& record);
// A zeroed record with every field of the new profile window.
ConnProfileRecord RecordFromNewProfile(const ProfileFields& fields);
// The page keeps the stored name and access point name.
void ApplyPageFields(ConnProfileRecord& record, const ProfileFields& fields);
// The profile manager also replaces the access point name.
void ApplyManagerFields(ConnProfileRecord& record, const ProfileFields& fields);

// The default profile from the configuration. Texts longer than their fields
// are cut to fit (never splitting a character).
ConnProfileRecord MakeDefaultProfile(const CSetupData& setup);
// Adds the default profile when the store is empty (the Internet page and
// the profile manager do this when they open).
FileResult AddDefaultProfileIfEmpty(CConnProfile& store, const CSetupData& setup);

// The row to select when a window opens: the profile named in
// "ConnSetting.dat" (marked as default in memory), else 0.
int InitialSelection(CConnProfile& store);
// The row to select after the profile manager closed: the profile that had
// been selected before, by name; 0 when it is gone.
int SelectionAfterEdit(const CConnProfile& store, std::string_view previousName);

}  // namespace evdo
