#pragma once
// Small text helpers of the message windows: a language string with its
// printf-style fields filled, and the message box they show (plain text,
// the application title as caption, not blocking the window).
#include <QString>

#include <string>

#include "ui/StringIds.h"

class QWidget;

namespace evdo::sms {

// The language string id with "%s" replaced by detail and each "%d" by the
// next of the numbers.
QString FilledText(StringId id, const std::string& detail = {}, std::initializer_list<int> numbers = {});
// Shows the string in an information box over parent (object name
// "message<id>"); returns at once.
void ShowMessageBox(QWidget* parent, StringId id, const std::string& detail = {});

}  // namespace evdo::sms
