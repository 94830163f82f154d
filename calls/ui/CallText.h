#pragma once
// Texts of the call windows: language strings and modem texts as QStrings.
#include <QString>

#include <string>
#include <string_view>

#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"

namespace evdo::callsui {

inline QString FromAnsi(std::string_view text) { return QString::fromStdString(ToUtf8(text)); }
inline std::string ToAnsi(const QString& text) { return FromUtf8(text.toStdString()); }
inline QString Str(int id) { return FromAnsi(LoadString(id)); }

}  // namespace evdo::callsui
