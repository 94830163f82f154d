#pragma once
// Reading of vCards as phones and address books write them (versions 2.1,
// 3.0 and 4.0): folded lines, grouped property names, parameters in both the
// 2.1 form (";CELL;QUOTED-PRINTABLE") and the later one
// (";TYPE=cell,voice;ENCODING=b"), QUOTED-PRINTABLE values, CHARSET=UTF-8,
// GBK, GB2312, GB18030, BIG5 (read as code page 936 where it maps), ISO-8859-1
// and US-ASCII, and escapes of 3.0 and 4.0 texts. Binary values (photos,
// logos, sounds, keys) are passed over.
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/ContactRecord.h"

namespace evdo {

struct VCardProperty {
  std::string name;                // upper case, group removed ("TEL")
  std::vector<std::string> types;  // upper case: TYPE values and 2.1 bare parameters
  std::string encoding;            // upper case: "QUOTED-PRINTABLE", "B", "BASE64" or ""
  std::string charset;             // upper case, or ""
  std::string value;               // raw, as on the line
};

// The contact texts of a card in the system code page, before the import's
// checks and shortening.
struct VCardContact {
  std::string name, mobile, home, company, email, remark;
};

class VCardProperties {
public:
  // The logical lines of a card: LF line ends, folded lines (a line
  // starting with a blank continues the previous one) and QUOTED-PRINTABLE
  // soft line breaks joined.
  static std::vector<std::string> Unfold(std::string_view card);
  // One logical line; false when it holds no ':'.
  static bool Parse(std::string_view line, VCardProperty& out);
  // The value as text in the system code page: quoted-printable decoded, the
  // charset converted (text without a charset that is valid UTF-8 is read
  // as UTF-8, other text is kept as it is), escapes of 3.0/4.0 undone when
  // unescape is set.
  static std::string DecodeText(const VCardProperty& p, bool unescape);
  // A telephone value as a number: "tel:" removed, and the blanks, '-', '.',
  // '(' and ')' that separate digit groups taken out.
  static std::string DialNumber(std::string_view value);
  // Reads the contact of a card (from BEGIN:VCARD through END:VCARD).
  static VCardContact Read(std::string_view card);
};

}  // namespace evdo
