// Words of the input (a scenario, a recording, a path) quoted in messages, safe to print.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The longest part of a word a message shows, in characters.
constexpr int kMaxQuotedCharacters = 60;

// `word` in single quotes on one line of UTF-8 text: control characters, line and direction
// marks and bytes that are not UTF-8 are written as \xNN or \uNNNN escapes, a backslash as
// \\, and a word longer than kMaxQuotedCharacters ends in an ellipsis.
std::string QuoteForMessage(std::string_view word);

// The code point of the UTF-8 sequence at the start of `text` and its length in bytes; the
// length is 0 when the bytes are not a valid (shortest, non-surrogate) sequence.
struct DecodedUtf8 {
  uint32_t codePoint = 0;
  size_t length = 0;
};
DecodedUtf8 DecodeUtf8(std::string_view text);

// The UTF-8 bytes of one code point (U+0000 to U+10FFFF).
std::string EncodeUtf8(char32_t codePoint);
