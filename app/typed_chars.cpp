// Mapping typed Unicode characters to the bytes the game reads.
#include "app/typed_chars.h"

namespace {

// The full-width katakana of the alphabet's kana, in the alphabet's order: the half-width
// row from A to YO, then WA, WO and N.
constexpr char32_t kFullWidthKana[] = {
    U'ア', U'イ', U'ウ', U'エ', U'オ', U'カ', U'キ', U'ク', U'ケ', U'コ', U'サ',
    U'シ', U'ス', U'セ', U'ソ', U'タ', U'チ', U'ツ', U'テ', U'ト', U'ナ', U'ニ',
    U'ヌ', U'ネ', U'ノ', U'ハ', U'ヒ', U'フ', U'ヘ', U'ホ', U'マ', U'ミ', U'ム',
    U'メ', U'モ', U'ヤ', U'ユ', U'ヨ', U'ワ', U'ヲ', U'ン'};
constexpr uint8_t kHalfWidthKana[] = {
    0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE,
    0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC,
    0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xDC, 0xA6, 0xDD};
static_assert(sizeof kHalfWidthKana == sizeof kFullWidthKana / sizeof kFullWidthKana[0]);

// Hiragana and katakana of the same sound lie 0x60 apart.
constexpr char32_t kHiraganaToKatakana = 0x60;

uint8_t CodeForFullWidthKana(char32_t katakana) {
  for (unsigned i = 0; i < sizeof kHalfWidthKana; ++i) {
    if (kFullWidthKana[i] == katakana) return kHalfWidthKana[i];
  }
  return kOutsideAlphabetCode;
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
