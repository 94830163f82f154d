#pragma once
// One connection profile: the dial-up values of one Internet connection,
// 960 bytes as a raw record of "ConnProfile.dat".
#include <cstddef>
#include <cstdint>

namespace evdo {

constexpr std::size_t kProfileNameField = 257;
constexpr std::size_t kProfilePhoneField = 129;
constexpr std::size_t kProfileUserField = 257;
constexpr std::size_t kProfilePasswordField = 257;
constexpr std::size_t kProfileApnField = 52;

// Longest texts the fields take (the terminator always fits; the access point
// name leaves the last byte 0).
constexpr std::size_t kProfileNameMax = 256;
constexpr std::size_t kProfilePhoneMax = 128;
constexpr std::size_t kProfileUserMax = 256;
constexpr std::size_t kProfilePasswordMax = 256;
constexpr std::size_t kProfileApnMax = 50;

// authType values; any other value requires neither.
constexpr std::int32_t kAuthChap = 0;
constexpr std::int32_t kAuthPap = 1;

struct ConnProfileRecord {
  std::int32_t isDefault;  // 1: the default profile
  std::int32_t authType;
  char name[kProfileNameField];
  char phoneNumber[kProfilePhoneField];
  char userName[kProfileUserField];
  char password[kProfilePasswordField];  // plain text
  char apn[kProfileApnField];
};

static_assert(sizeof(ConnProfileRecord) == 960);
static_assert(offsetof(ConnProfileRecord, isDefault) == 0);
static_assert(offsetof(ConnProfileRecord, authType) == 4);
static_assert(offsetof(ConnProfileRecord, name) == 8);
static_assert(offsetof(ConnProfileRecord, phoneNumber) == 265);
static_assert(offsetof(ConnProfileRecord, userName) == 394);
static_assert(offsetof(ConnProfileRecord, password) == 651);
static_assert(offsetof(ConnProfileRecord, apn) == 908);

}  // namespace evdo
