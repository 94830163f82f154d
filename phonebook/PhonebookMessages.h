#pragma once
// Numbers of the language strings the phonebook shows. The texts live in the
// language modules; logic hands these numbers to the windows.
namespace evdo::pbmsg {

inline constexpr int kNone = 0;

// Store and phonebook window.
inline constexpr int kDeleteQuestion = 121;     // delete the selected (or all) contacts?
inline constexpr int kStoreFull = 194;          // the phonebook holds 200 contacts
inline constexpr int kInvalidNumber = 195;      // a number holds a character other than 0-9 * # +
inline constexpr int kNoNumber = 199;           // the contact has no number to call
inline constexpr int kPictureFailed = 208;      // the picture cannot be copied or shown
inline constexpr int kLongNameQuestion = 209;   // the name is longer than 14 bytes; keep it?
inline constexpr int kNoSelection = 266;
inline constexpr int kTooManySelected = 267;
inline constexpr int kCannotRead = 268;
inline constexpr int kAddFailed = 269;
inline constexpr int kModifyFailed = 270;       // also a failed delete
inline constexpr int kClearFailed = 271;
inline constexpr int kCaption = 272;            // caption string, shown with the program's prefix
inline constexpr int kNameTooLong = 281;        // a name with double-byte characters has 17 or more
inline constexpr int kPlusAlone = 282;          // a number that is only "+"
inline constexpr int kPlusNotFirst = 309;       // "+" after the first position of a number
inline constexpr int kNothingToDelete = 310;
inline constexpr int kEmailWithoutAt = 381;
inline constexpr int kEmailInvalid = 383;

// File exchange.
inline constexpr int kOverwriteQuestion = 164;
inline constexpr int kNothingToExport = 273;    // also a vCard file that cannot be read
inline constexpr int kContactUnreadable = 274;
inline constexpr int kMalformedFile = 275;      // no recognised header, or a malformed vCard
inline constexpr int kSkippedLines = 276;       // lines or cards without name and numbers
inline constexpr int kInvalidName = 277;
inline constexpr int kEmptyFile = 279;
inline constexpr int kCannotWrite = 313;
inline constexpr int kUnknownFileType = 314;
inline constexpr int kOutOfMemory = 315;
inline constexpr int kExportIsLink = 453;      // the chosen export file is a symbolic link
inline constexpr int kExportReadOnly = 454;    // the chosen export file is read-only

// The caption a message box shows with message: kCaption for the messages
// the phonebook always shows under it, 0 for the window's usual caption.
constexpr int CaptionFor(int message) {
  switch (message) {
    case kNothingToExport:
    case kMalformedFile:
    case kSkippedLines:
    case kEmptyFile:
    case kPlusNotFirst:
    case kEmailWithoutAt:
    case kEmailInvalid:
      return kCaption;
    default:
      return 0;
  }
}

}  // namespace evdo::pbmsg
