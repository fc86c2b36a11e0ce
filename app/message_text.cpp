// Quoting input for messages: a NUL, a carriage return or a 50 MB word must not reach the
// terminal as they are.
#include "app/message_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>

namespace {

// Characters that move the cursor, end the line or reorder the text around them.
bool NeedsEscape(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
         (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

// Appends the first character of `word`, escaped as needed; returns the bytes it took. A byte
// that is not UTF-8 is escaped alone.
size_t AppendCharacter(std::string_view word, std::string& text) {
  const DecodedUtf8 decoded = DecodeUtf8(word);
  const bool valid = decoded.length != 0;
  if (valid && decoded.codePoint == '\\') {
    text += "\\\\";
  } else if (valid && !NeedsEscape(decoded.codePoint)) {
    text.append(word.substr(0, decoded.length));
  } else {
    char escape[16];  // "\\u10ffff" and its zero at the most
    std::snprintf(escape, sizeof escape, decoded.length > 1 ? "\\u%04x" : "\\x%02x",
                  valid ? decoded.codePoint : static_cast<uint8_t>(word[0]));
    text += escape;
  }
  return std::max<size_t>(decoded.length, 1);
}

}  // namespace

DecodedUtf8 DecodeUtf8(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  // The lead byte's leading ones count the sequence's bytes.
  const size_t length = static_cast<size_t>(std::countl_one(lead));
  if (length < 2 || length > 4 || text.size() < length) return {};
  uint32_t codePoint = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || surrogate) return {};
  return {codePoint, length};
}

std::string EncodeUtf8(char32_t codePoint) {
  if (codePoint < 0x80) return std::string(1, static_cast<char>(codePoint));
  constexpr uint8_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};  // by the sequence's length
  const size_t length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
  std::string bytes(length, '\0');
  for (size_t i = length - 1; i > 0; --i, codePoint >>= 6) {
    bytes[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  bytes[0] = static_cast<char>(kLead[length] | codePoint);
  return bytes;
}

std::string QuoteForMessage(std::string_view word) {
  std::string text = "'";
  size_t at = 0;
  for (int shown = 0; at < word.size() && shown < kMaxQuotedCharacters; ++shown) {
    at += AppendCharacter(word.substr(at), text);
  }
  if (at < word.size()) text += "\u2026";
  text += '\'';
  return text;
}
