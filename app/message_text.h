// Words of the input (a scenario, a recording, a path) quoted in messages, safe to print.
#pragma once

#include <string>
#include <string_view>

// The longest part of a word a message shows, in characters.
constexpr int kMaxQuotedCharacters = 60;

// `word` in single quotes on one line of UTF-8 text: control characters, line and direction
// marks and bytes that are not UTF-8 are written as \xNN or \uNNNN escapes, a backslash as
// \\, and a word longer than kMaxQuotedCharacters ends in an ellipsis.
std::string QuoteForMessage(std::string_view word);
