#pragma once
// Small helpers for the arguments of control commands.
#include <string>
#include <string_view>
#include <vector>

namespace evdo::modemsim {

// Words separated by blanks.
std::vector<std::string_view> SplitWords(std::string_view text);
// A decimal number from min to max, and nothing else.
bool ParseNumber(std::string_view text, int min, int max, int& out);
// Decodes C-style escapes (\r \n \t \\ \xNN and \z for Ctrl-Z). False with
// a reason on a bad escape.
bool DecodeEscapes(std::string_view text, std::string& out, std::string& error);
// Shows bytes with those escapes, for traces.
std::string EncodeEscapes(std::string_view bytes);

}  // namespace evdo::modemsim
