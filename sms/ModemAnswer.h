#pragma once
// Parsing of what the modem says about a message: the "$QCMGR: " answer of a
// message read, its time stamp and its part information.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/time/DateTime.h"
#include "sms/SmsRecord.h"

namespace evdo::sms {

constexpr const char* kQcmgrPrefix = "$QCMGR: ";
constexpr int kMaxAnswerFields = 5;
constexpr std::size_t kMaxStampLength = 30;
// Bytes of a received text kept in the record: 160 characters.
constexpr std::size_t kReceivedTextChars = 160;

// Which statuses ParseQcmgrAnswer accepts.
enum QcmgrFilter : int { ReceivedOnly = 0, StoredOnly = 1, AnyStatus = 2 };

// "yy/mm/dd,hh:mm:ss" with an optional time zone after the seconds (at most
// 30 characters are read). Every number must start with a digit. A date
// that does not exist (30 February) gives an invalid date-time and true.
bool ParseModemTime(std::string_view stamp, DateTime& out);

// "reference/seq/total"; false (and all three 0) when a field is missing,
// seq or total is 0, total < seq, or a value does not fit its width.
bool ParsePartInfo(std::string_view text, std::uint16_t& reference, std::uint8_t& seq,
                   std::uint8_t& total);

// Parses the lines of a message read (the "$QCMGR: " line first, then the
// hexadecimal text and the final result) into a zeroed record. False when
// the header is missing, the status is unknown or the filter excludes it.
bool ParseQcmgrAnswer(std::span<const std::string> lines, SmsRecord& out, int filter);

// A message delivered directly: the "+CMT: " line with up to four quoted
// fields (number, time stamp, service centre, part information) and, when
// the notice has exactly two lines, the text in hexadecimal UCS-2 (at most
// 320 bytes kept). Status REC UNREAD; the time is now when the stamp is
// absent or not parsable. False without the "+CMT: " header.
bool ParseDirectNotice(std::span<const std::string> lines, const DateTime& now, SmsRecord& out);

}  // namespace evdo::sms
