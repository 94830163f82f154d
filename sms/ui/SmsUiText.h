#pragma once
// Texts of the message windows: language strings and stored texts (system
// code page) as QStrings, and times in the user's format.
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <string>
#include <string_view>

#include "core/text/CodePage.h"
#include "core/time/DateTime.h"
#include "ui/LanguageStrings.h"

namespace evdo::smsui {

inline QString FromAnsi(std::string_view text) { return QString::fromStdString(ToUtf8(text)); }
inline std::string ToAnsi(const QString& text) { return FromUtf8(text.toStdString()); }
inline QString Str(int id) { return FromAnsi(LoadString(id)); }

// The user's locale; with the Chinese module in a non-Chinese locale, the
// Chinese one, so that no English month name shows among Chinese texts.
inline QLocale DisplayLocale() {
  const LanguageExports* module = ActiveLanguage();
  if (module != nullptr && module->getLang != nullptr && module->getLang() == kLanguageChinese &&
      QLocale::system().language() != QLocale::Chinese)
    return QLocale(QLocale::Chinese, QLocale::China);
  return QLocale::system();
}

// The date and time in the default (short) format; "" when not valid.
inline QString LocalText(const DateTime& t) {
  std::optional<LocalTime> l = t.ToLocal();
  if (!l) return {};
  QDateTime dt(QDate(l->year, l->month, l->day), QTime(l->hour, l->minute, l->second));
  return DisplayLocale().toString(dt, QLocale::ShortFormat);
}

}  // namespace evdo::smsui
