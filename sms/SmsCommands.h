#pragma once
// The message commands of the modem and the small rules around them: the
// command texts, timers and completion steps of the message exchanges, the
// checks a number passes before it reaches a command line, the recipients
// field, the text field limits and counters, the parameters line, and the
// parsing of the message notifications ("+CMTI: ", "+CMT: ", "+CDS: ").
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/event/WindowPort.h"
#include "sms/SmsRecord.h"

namespace evdo::sms {

// Command texts.
inline constexpr std::string_view kCmdSelectStorage = "AT$QCPMS=";
inline constexpr std::string_view kCmdReadMessage = "AT$QCMGR=";
inline constexpr std::string_view kCmdWriteMessage = "AT+CMGW=";
inline constexpr std::string_view kCmdDeleteMessage = "AT$QCMGD=";
inline constexpr std::string_view kCmdServiceCentre = "AT+CSCA=";
inline constexpr std::string_view kCmdParameters = "AT$QCSMP=";
inline constexpr std::string_view kCmdSend = "AT$QCMGS=";
inline constexpr std::string_view kCmdPreferredStorage = "AT+CPMS";
inline constexpr std::string_view kCmdRouting = "AT$QCNMI=";

// Answer prefixes.
inline constexpr std::string_view kAnsSelectStorage = "$QCPMS: ";
inline constexpr std::string_view kAnsSent = "$QCMGS: ";
inline constexpr std::string_view kAnsWritten = "+CMGW: ";
inline constexpr std::string_view kAnsCmsError = "+CMS ERROR:";
inline constexpr std::string_view kNoticeStored = "+CMTI: ";
inline constexpr std::string_view kNoticeDirect = "+CMT: ";
inline constexpr std::string_view kNoticeReport = "+CDS: ";
inline constexpr std::string_view kPrompt = "> ";

// Notification slots of the message notices.
inline constexpr int kStoredNoticeSlot = 1;
inline constexpr int kDirectNoticeSlot = 2;
inline constexpr int kReportNoticeSlot = 16;

// Storage names by code; code 3: no second storage.
inline constexpr int kStoragePc = 0;
inline constexpr int kStorageMe = 1;
inline constexpr int kStorageSm = 2;
inline constexpr int kNoStorage = 3;
inline constexpr const char* kStorageNames[3] = {"PC", "ME", "SM"};

// Timers and their waits (each exchange has its own window).
inline constexpr TimerId kSelectStorageTimer = 5;
inline constexpr TimerId kReadTimer = 6;
inline constexpr TimerId kWriteTimer = 7;
inline constexpr TimerId kDeleteTimer = 8;
inline constexpr TimerId kSendTimer = 9;
inline constexpr TimerId kNewMessageTimer = 10;
inline constexpr TimerId kParametersTimer = 11;
inline constexpr TimerId kServiceCentreTimer = 12;
inline constexpr TimerId kPreferredStorageTimer = 51;
inline constexpr TimerId kRoutingTimer = 52;
// The pause between the attempts to write a new-message read.
inline constexpr TimerId kNewMessageRetryTimer = 60;
inline constexpr std::uint32_t kSelectStorageMs = 60000;
inline constexpr std::uint32_t kReadMs = 30000;
inline constexpr std::uint32_t kWriteMs = 50000;
inline constexpr std::uint32_t kDeleteMs = 30000;
inline constexpr std::uint32_t kSendMs = 60000;
inline constexpr std::uint32_t kNewMessageMs = 5000;
inline constexpr std::uint32_t kSendParametersMs = 60000;
inline constexpr std::uint32_t kWriteParametersMs = 30000;
inline constexpr std::uint32_t kServiceCentreMs = 60000;
inline constexpr std::uint32_t kSettingsMs = 60000;
inline constexpr std::uint32_t kNewMessageRetryMs = 200;
inline constexpr int kNewMessageAttempts = 5;
// How often a new message whose read went unanswered is read at once (a
// modem that stays silent once must not leave the message unread on the
// device), and in all: after the quick tries, once every
// kNewMessageLaterMs.
inline constexpr int kNewMessageReads = 3;
inline constexpr int kNewMessageMostReads = 10;
inline constexpr TimerId kNewMessageLaterTimer = 62;
inline constexpr std::uint32_t kNewMessageLaterMs = 30000;
// A received part waits this long for the rest of its message.
inline constexpr std::uint32_t kPartWaitMs = 90000;

// Private messages of the exchanges' windows.
inline constexpr MessageId kMsgSmsAnswer = WM_USER + 40;
inline constexpr MessageId kMsgSmsNotice = WM_USER + 41;

// Completion steps of the write window and of the transfer window.
enum SendStep : int { kStepSendData = 2, kStepSent = 4, kStepSendCentre = 5, kStepSendParameters = 8 };
enum TransferStep : int {
  kStepSelected = 0,
  kStepRead = 1,
  kStepWriteData = 2,
  kStepDeleted = 3,
  kStepWritten = 4,
  kStepWriteCentre = 5,
  kStepWriteParameters = 8,
};

// Limits.
inline constexpr int kMaxRecipients = 10;
inline constexpr std::size_t kMaxNumberChars = 40;
inline constexpr std::size_t kMaxReportNumberChars = 39;
inline constexpr std::size_t kMaxReportStatusChars = 5;
inline constexpr std::size_t kMaxStorageNameChars = 4;
inline constexpr std::size_t kMaxDirectTextBytes = 320;
inline constexpr std::size_t kMaxGsm7TextChars = 765;
inline constexpr std::size_t kMaxUcs2TextChars = 335;
// Bytes of a previous text put back when a change is undone.
inline constexpr std::size_t kUndoTextBytes = 1530;
inline constexpr int kMaxPartsShown = 5;
// Device list bounds, whatever counts the modem reports.
inline constexpr int kMaxMeEntries = 1024;
inline constexpr int kMaxSmEntries = 256;

// Validity period octets of the message settings' choices.
inline constexpr std::uint8_t kValidityPeriods[6] = {11, 71, 167, 169, 173, 244};
inline constexpr int kWriteValidityPeriod = 167;

// A number may reach a command line: 1 to 40 dial characters ('0'..'9',
// '#', '*', '+').
bool IsSendableNumber(std::string_view number);
// "145" for a number beginning with '+', else "129".
const char* NumberType(std::string_view number);

// The recipients field: numbers separated by ';', empty segments skipped;
// at most 10 numbers of at most 40 characters. A longer number ends the
// parse (dropped with the rest), an 11th number ends it too.
struct Recipients {
  std::vector<std::string> numbers;
  bool tooMany = false;  // an 11th number was cut off
  bool tooLong = false;  // a number of more than 40 characters was cut off
};
Recipients ParseRecipients(std::string_view field);
// The recipients field after a change: 0 accepted; otherwise the refusal
// (kRefuseBeep: a character outside '0'..'9', '+', ';' or a number longer
// than 40 characters; kRefuseTooMany: more than 10 numbers, message 218).
enum FieldCheck : int { kFieldAccepted = 0, kRefuseBeep = 1, kRefuseTooMany = 2 };
FieldCheck CheckRecipientsField(std::string_view field);

// The text field: the limit for the text (765 GSM 7-bit, else 335) and
// whether a text is within it.
std::size_t TextLimit(std::string_view text);
bool IsTextWithinLimit(std::string_view text);
// The counters beside the text field.
struct TextCounters {
  std::string count;  // "(n / limit)"
  std::string left;   // "(k)": characters left in the current part
  std::string part;   // "p/5" for a long text, else ""
};
TextCounters CountText(std::string_view text);

// The parameters line for sending: fo 17 or 113 (long), bit 0x20 for a
// delivery report, the validity octet, pid 0, dcs 0 (GSM 7-bit) or 8.
std::string SendParametersLine(bool isLong, bool gsm7, bool deliveryReport, std::uint8_t validity);
// The parameters line for writing into a device storage: outgoing records
// (status 2, 3) fo 17/113 with vp 167; received ones fo 0/68 with no vp.
std::string WriteParametersLine(std::int32_t status, bool asPart, bool gsm7);

// An answer is an error when its first line is "ERROR" or begins with
// "+CMS ERROR:".
bool IsErrorAnswer(std::span<const std::string> lines);
// A two-line answer whose first line begins with prefix and whose second is
// "OK".
bool IsConfirmed(std::span<const std::string> lines, std::string_view prefix);
bool IsPrompt(std::span<const std::string> lines);

// "+CMTI: " with the storage name as received (quotes included, at most 4
// characters) and the index.
struct StoredNotice {
  std::string name;  // as received, for "AT$QCPMS="
  int index = 0;
  enum Kind { Me, Sm, All, Other } kind = Other;
};
bool ParseStoredNotice(std::string_view line, StoredNotice& out);

// "+CDS: ": the recipient's number (at most 39 characters) and the status
// (the text after the last comma, at most 5 characters; "0" is success).
struct DeliveryReport {
  std::string number;
  std::string status;
  bool Delivered() const { return status == "0"; }
};
bool ParseDeliveryReport(std::string_view line, DeliveryReport& out);

}  // namespace evdo::sms
