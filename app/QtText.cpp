#include "app/QtText.h"

#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"

namespace evdo {

QString FromAnsi(std::string_view text) { return QString::fromStdString(ToUtf8(text)); }

std::string ToAnsi(const QString& text) { return FromUtf8(text.toStdString()); }

QString Str(StringId id) { return FromAnsi(LoadString(id)); }

}  // namespace evdo
