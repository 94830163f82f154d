#pragma once
// Texts between the system code page (language strings, settings, device
// texts) and Qt, and times shown to the user.
#include <QLocale>
#include <QString>

#include <string>
#include <string_view>

#include "core/time/DateTime.h"
#include "ui/StringIds.h"

namespace evdo {

// A text in the system code page as a QString.
QString FromAnsi(std::string_view text);
// A QString in the system code page (unmappable characters become '?').
std::string ToAnsi(const QString& text);
// The active language module's text of id.
QString Str(StringId id);

// The locale dates and times are shown in: the user's, except that with the
// Chinese module in a non-Chinese locale it is the Chinese one, so that no
// English month name shows among Chinese texts.
QLocale DisplayLocale();
// t in local time, short format of the display locale; empty when t is not
// a valid time.
QString LocalText(const DateTime& t);

}  // namespace evdo
