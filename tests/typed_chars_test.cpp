// Typed characters reach the game as the byte it reads; kana typed full-width count too.
#include "app/typed_chars.h"

#include <gtest/gtest.h>

#include <utility>

#include "core/alphabet.h"
#include "core/records.h"

namespace {

// ASCII and controls pass as their bytes; the yen sign and half-width marks as the byte of
// their code page.
TEST(TypedChars, AsciiControlsAndYenPassAsTheirBytes) {
  const std::pair<char32_t, uint32_t> cases[] = {
      {U'A', 'A'},   {U'\x1b', 0x1B}, {U'0', '0'},   {U'~', '~'},  {U' ', ' '},  {U'\r', '\r'},
      {U'\b', '\b'}, {U'\t', '\t'},   {U'\\', '\\'}, {U'¥', 0x5C}, {U'｡', 0xA1}, {U'ﾟ', 0xDF}};
  for (auto [typed, code] : cases)
    EXPECT_EQ(CodeForTypedChar(typed), code) << static_cast<uint32_t>(typed);
}

// Every kana of the alphabet is reached the same from half-width, full-width and hiragana.
TEST(TypedChars, FullWidthKanaAndHiraganaGiveTheHalfWidthByte) {
  const char32_t katakana[] =
      U"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨワヲン";
  for (int slot = 92; slot <= 132; ++slot) {
    const auto half = static_cast<unsigned char>(kAlphabet[slot]);
    const char32_t full = katakana[slot - 92];
    EXPECT_EQ(CodeForTypedChar(full), half) << slot;
    EXPECT_EQ(CodeForTypedChar(full - 0x60), half) << slot;
  }
  EXPECT_EQ(CodeForTypedChar(U'を'), 0xA6);
}

// Kana outside the alphabet and any other character fall on slot 0, like any stranger.
TEST(TypedChars, OtherCharactersAreOutsideTheAlphabet) {
  BuildCharTables();
  for (char32_t c :
       {U'ガ', U'ラ', U'ァ', U'ぱ', U'ー', U'é', U'€', U'漢', U'\U0001F600', U'\x80'}) {
    EXPECT_EQ(CodeForTypedChar(c), kOutsideAlphabetCode);
  }
  EXPECT_EQ(charToSlot[kOutsideAlphabetCode], 0u);
}

}  // namespace
