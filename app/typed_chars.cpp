// Mapping typed Unicode characters to the bytes the game reads.
#include "app/typed_chars.h"

#include <string_view>

namespace {

// The full-width katakana of the alphabet's kana, in the alphabet's order: the half-width
// row from A to YO (0xB1 on), then WA, WO and N.
constexpr std::u32string_view kFullWidthKana =
    U"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨワヲン";
constexpr size_t kRowToYo = 38;

// Hiragana and katakana of the same sound lie 0x60 apart.
constexpr char32_t kHiraganaToKatakana = 0x60;

uint8_t CodeForFullWidthKana(char32_t katakana) {
  const size_t at = kFullWidthKana.find(katakana);
  if (at == std::u32string_view::npos) return kOutsideAlphabetCode;
  if (at < kRowToYo) return static_cast<uint8_t>(0xB1 + at);
  return static_cast<uint8_t>("\xDC\xA6\xDD"[at - kRowToYo]);  // WA, WO, N
}

}  // namespace

uint8_t CodeForTypedChar(char32_t c) {
  if (c < 0x80) return static_cast<uint8_t>(c);
  if (c >= 0xFF61 && c <= 0xFF9F) return static_cast<uint8_t>(0xA1 + (c - 0xFF61));
  if (c == U'¥') return 0x5C;
  if (c >= U'ぁ' && c <= U'ゖ') return CodeForFullWidthKana(c + kHiraganaToKatakana);
  if (c >= U'ァ' && c <= U'ヶ') return CodeForFullWidthKana(c);
  return kOutsideAlphabetCode;
}
