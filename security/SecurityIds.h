#pragma once
// Command texts, messages, timers and waits of the card lock (PIN) and the
// network and radio settings pages. Defined once here.
#include <cstdint>

#include "core/event/WindowPort.h"

namespace evdo {

// Card lock queries and code commands (each ends in one CR).
inline constexpr const char* kCmdQuerySimState = "AT+CPIN?\r";
inline constexpr const char* kCmdQueryLockState = "AT+CLCK=\"SC\",2\r";
inline constexpr const char* kCmdQueryAttempts = "AT$CPINS?\r";
inline constexpr const char* kCmdEnterPinPrefix = "AT+CPIN=\"";
inline constexpr const char* kCmdLockOnPrefix = "AT+CLCK=\"SC\",1,\"";
inline constexpr const char* kCmdLockOffPrefix = "AT+CLCK=\"SC\",0,\"";
inline constexpr const char* kCmdChangePinPrefix = "AT+CPWD=\"SC\",\"";
inline constexpr const char* kCodeSeparator = "\",\"";
inline constexpr const char* kCodeEnd = "\"\r";

// Radio and network commands.
inline constexpr const char* kCmdRadioOn = "AT+CFUN=1\r";
inline constexpr const char* kCmdRadioOff = "AT+CFUN=4\r";
inline constexpr const char* kCmdOperatorSearch = "AT+COPS=?\r";
inline constexpr const char* kCmdAutomaticRegistration = "AT+COPS=0\r";
inline constexpr const char* kCmdManualRegistrationPrefix = "AT+COPS=1,1,\"";
inline constexpr const char* kCmdPreferencePrefix = "AT+PHPREF=";

// Waits, in milliseconds.
inline constexpr std::uint32_t kCardQueryWaitMs = 5000;
inline constexpr std::uint32_t kEnterPinWaitMs = 5000;
inline constexpr std::uint32_t kSwitchLockWaitMs = 5000;
inline constexpr std::uint32_t kChangePinWaitMs = 3000;
inline constexpr std::uint32_t kUnblockWaitMs = 3000;
inline constexpr std::uint32_t kRadioWaitMs = 60000;
inline constexpr std::uint32_t kNetworkWaitMs = 30000;
inline constexpr std::uint32_t kPreferenceWaitMs = 60000;
inline constexpr std::uint32_t kProgressStepMs = 500;

// Timers. The card exchange's guard lives on the window that runs it.
inline constexpr TimerId kRadioTimer = 28;
inline constexpr TimerId kNetworkTimer = 32;
inline constexpr TimerId kPreferenceTimer = 33;
inline constexpr TimerId kProgressTimer = 50;
inline constexpr TimerId kCardCommandTimer = 130;

// Messages. WM_USER+30 ends a radio command on the general page, WM_USER+31
// a network command on the network page (wParam the command mode, lParam 1).
inline constexpr MessageId kMsgRadioDone = WM_USER + 30;
inline constexpr MessageId kMsgNetworkDone = WM_USER + 31;
// Private: an answer for the window's outstanding command has arrived
// (wParam the command's sequence number).
inline constexpr MessageId kMsgReplyWake = WM_USER + 130;

// Full attempt counts of the card.
inline constexpr std::uint16_t kPinAttemptsFull = 3;
inline constexpr std::uint16_t kPukAttemptsFull = 10;

// Control ids of the pages' buttons and groups.
inline constexpr int kCtlLockOn = 1062;
inline constexpr int kCtlLockOff = 1063;
inline constexpr int kCtlUnblock = 1164;
inline constexpr int kCtlChangePin = 1165;
inline constexpr int kCtlRadioOn = 1086;   // general page
inline constexpr int kCtlRadioOff = 1087;  // general page
inline constexpr int kCtlSearch = 1086;    // network page
inline constexpr int kCtlRegister = 1087;  // network page
inline constexpr int kCtlModeAutomatic = 1186;
inline constexpr int kCtlModeManual = 1187;
inline constexpr int kCtlOperatorList = 1176;
inline constexpr int kCtlPreferenceFirst = 1189;
inline constexpr int kCtlApplyPreference = 1177;

}  // namespace evdo
