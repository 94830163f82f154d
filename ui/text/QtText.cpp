#include "ui/text/QtText.h"

#include <QDateTime>

#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"

namespace evdo {

QString FromAnsi(std::string_view text) { return QString::fromStdString(ToUtf8(text)); }

std::string ToAnsi(const QString& text) { return FromUtf8(text.toStdString()); }

QString Str(StringId id) { return FromAnsi(LoadString(id)); }

QLocale DisplayLocale() {
  const LanguageExports* module = ActiveLanguage();
  if (module != nullptr && module->getLang != nullptr && module->getLang() == kLanguageChinese &&
      QLocale::system().language() != QLocale::Chinese)
    return QLocale(QLocale::Chinese, QLocale::China);
  return QLocale::system();
}

QString LocalText(const DateTime& t) {
  std::optional<LocalTime> l = t.ToLocal();
  if (!l) return {};
  QDateTime dt(QDate(l->year, l->month, l->day), QTime(l->hour, l->minute, l->second));
  return DisplayLocale().toString(dt, QLocale::ShortFormat);
}

}  // namespace evdo
