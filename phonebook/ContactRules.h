#pragma once
// The rules of the contact editor, checked when the user presses OK, and the
// refusal of a '+' typed after the first position of a number.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "phonebook/ContactRecord.h"

namespace evdo {

// The texts of the editor's fields.
struct ContactForm {
  std::string name, mobile, home, company, email, remark;
};

enum class EditorStep {
  Accept,    // build the record and hand it over
  StayOpen,  // nothing to save; the editor stays open without a message
  Message,   // show message; the editor stays open
  Question,  // ask message with OK/Cancel; on OK check again with the question answered
};

struct EditorVerdict {
  EditorStep step = EditorStep::Accept;
  int message = 0;
};

// The text and caret an edit box gets back after a refused '+'.
struct RestoredText {
  std::string text;
  std::size_t caret = 0;
};

class ContactRules {
public:
  // Characters of a name in the system code page; hasDoubleByte tells
  // whether one of them takes more than one byte.
  static std::size_t CountNameChars(std::string_view name, bool* hasDoubleByte = nullptr);
  // A name with a double-byte character and 17 or more characters.
  static bool NameHasTooManyChars(std::string_view name);
  // Longer than 14 bytes: question 209 before saving.
  static bool NameNeedsConfirmation(std::string_view name);

  // 282 for a number that is only "+", 309 for a '+' after the first
  // position; Mobile, Home and Company in this order. 0 when all are fine.
  static int CheckNumbers(const ContactForm& form);
  // 0, 381 (no '@') or 383 (not an address).
  static int CheckEmail(std::string_view email);

  // The OK rules in order. longNameConfirmed: the user answered OK to 209.
  static EditorVerdict CheckForOk(const ContactForm& form, bool longNameConfirmed);

  // After a key press changed a number field from previous to current with
  // the caret now at caret: a '+' typed after the first position of a text
  // longer than one character is refused, and the previous text comes back
  // with the caret where the '+' was.
  static std::optional<RestoredText> RefuseTypedPlus(std::string_view previous, std::string_view current,
                                                     std::size_t caret);

  // True when text fits what the editor accepts in field: the field's
  // character limit, and the bytes of the record field.
  static bool FitsEditor(ContactField field, std::string_view text);

  // The record the editor hands over.
  static ContactRecord BuildRecord(const ContactForm& form, std::string_view picture);
};

}  // namespace evdo
