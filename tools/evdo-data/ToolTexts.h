#pragma once
// The texts of the numbered messages the tool reports (the phonebook's
// import and export messages): English from the built-in table by default,
// or those of a language module named with "--language FILE".
#include <string>

namespace evdo::datatool {

// Loads the language module at path for every later text. False, with
// error, when it is no language module.
bool UseLanguageModule(const std::string& path, std::string& error);
// Back to the built-in English texts.
void UseBuiltInTexts();

// The text of message id in UTF-8; "message N" only for a number no table has.
std::string MessageText(int id);

}  // namespace evdo::datatool
