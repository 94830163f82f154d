#include "phonebook/ContactRules.h"

#include <array>

#include "core/text/CodePage.h"
#include "phonebook/PhonebookMessages.h"

namespace evdo {
namespace {

constexpr std::size_t kMaxDoubleByteNameChars = 16;
constexpr std::size_t kConfirmedNameBytes = 14;

struct EditorLimit {
  std::size_t chars;
  std::size_t bytes;
};

// Characters the editor accepts per field, and the bytes that fit the record.
constexpr std::array<EditorLimit, kContactFieldCount> kEditorLimits = {{
    {32, 32},    // Name
    {40, 40},    // Mobile
    {40, 40},    // Home
    {40, 40},    // Company
    {32, 200},   // Email
    {128, 201},  // Remark
    {259, 259},  // Picture
}};

std::array<std::string_view, 3> Numbers(const ContactForm& form) { return {form.mobile, form.home, form.company}; }

}  // namespace

std::size_t ContactRules::CountNameChars(std::string_view name, bool* hasDoubleByte) {
  // Characters of the system code page: a GBK pair and a UTF-8 sequence of
  // two to four bytes each count once, so a 12-character Chinese name is 12
  // characters in either code page.
  std::size_t chars = 0;
  bool doubleByte = false;
  for (std::size_t i = 0; i < name.size(); ++chars) {
    const std::size_t length = CharLength(name, i);
    if (length > 1) doubleByte = true;
    i += length;
  }
  if (hasDoubleByte) *hasDoubleByte = doubleByte;
  return chars;
}

bool ContactRules::NameHasTooManyChars(std::string_view name) {
  bool doubleByte = false;
  std::size_t chars = CountNameChars(name, &doubleByte);
  return doubleByte && chars > kMaxDoubleByteNameChars;
}

bool ContactRules::NameNeedsConfirmation(std::string_view name) { return name.size() > kConfirmedNameBytes; }

int ContactRules::CheckNumbers(const ContactForm& form) {
  for (std::string_view number : Numbers(form))
    if (number == "+") return pbmsg::kPlusAlone;
  for (std::string_view number : Numbers(form))
    if (number.size() > 1 && number.find('+', 1) != std::string_view::npos) return pbmsg::kPlusNotFirst;
  return pbmsg::kNone;
}

int ContactRules::CheckEmail(std::string_view email) {
  const std::size_t at = email.find('@');
  if (at == std::string_view::npos) return pbmsg::kEmailWithoutAt;
  const std::size_t firstDot = email.find('.');
  const bool valid = at != 0 && at + 1 != email.size() && email.find('@', at + 1) == std::string_view::npos &&
                     email[at - 1] != '.' && email[at + 1] != '.' &&
                     email.find('.', at + 2) != std::string_view::npos && firstDot + 1 != email.size();
  return valid ? pbmsg::kNone : pbmsg::kEmailInvalid;
}

EditorVerdict ContactRules::CheckForOk(const ContactForm& form, bool longNameConfirmed) {
  if (form.name.empty() && form.mobile.empty() && form.home.empty() && form.company.empty())
    return {EditorStep::StayOpen, pbmsg::kNone};
  if (NameHasTooManyChars(form.name)) return {EditorStep::Message, pbmsg::kNameTooLong};
  if (NameNeedsConfirmation(form.name) && !longNameConfirmed)
    return {EditorStep::Question, pbmsg::kLongNameQuestion};
  if (int m = CheckNumbers(form)) return {EditorStep::Message, m};
  if (!form.email.empty())
    if (int m = CheckEmail(form.email)) return {EditorStep::Message, m};
  return {EditorStep::Accept, pbmsg::kNone};
}

std::optional<RestoredText> ContactRules::RefuseTypedPlus(std::string_view previous, std::string_view current,
                                                          std::size_t caret) {
  if (current.size() <= 1 || current.size() <= previous.size() || caret < 2 || caret > current.size())
    return std::nullopt;
  const std::size_t typed = caret - 1;
  if (current[typed] != '+') return std::nullopt;
  return RestoredText{std::string(previous), std::min(typed, previous.size())};
}

bool ContactRules::FitsEditor(ContactField field, std::string_view text) {
  const EditorLimit& limit = kEditorLimits[static_cast<std::size_t>(field)];
  return text.size() <= limit.bytes && CountChars(text) <= limit.chars;
}

ContactRecord ContactRules::BuildRecord(const ContactForm& form, std::string_view picture) {
  ContactRecord r = EmptyContact();
  SetFieldValue(r, ContactField::Name, form.name);
  SetFieldValue(r, ContactField::Mobile, form.mobile);
  SetFieldValue(r, ContactField::Home, form.home);
  SetFieldValue(r, ContactField::Company, form.company);
  SetFieldValue(r, ContactField::Email, form.email);
  SetFieldValue(r, ContactField::Remark, form.remark);
  SetFieldValue(r, ContactField::Picture, picture);
  return r;
}

}  // namespace evdo
