#pragma once
// Texts between the system code page (language strings, settings, device
// texts) and Qt.
#include <QString>

#include <string>
#include <string_view>

#include "ui/StringIds.h"

namespace evdo {

// A text in the system code page as a QString.
QString FromAnsi(std::string_view text);
// A QString in the system code page (unmappable characters become '?').
std::string ToAnsi(const QString& text);
// The active language module's text of id.
QString Str(StringId id);

}  // namespace evdo
