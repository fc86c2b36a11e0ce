// Typed characters reach the game as the byte it reads; kana typed full-width count too.
#include "app/typed_chars.h"

#include <gtest/gtest.h>

#include "core/alphabet.h"
#include "core/records.h"

namespace {

TEST(TypedChars, AsciiControlsAndYenPassAsTheirBytes) {
  for (char32_t c : {U'A', U'z', U'0', U'~', U' ', U'\r', U'\b', U'\t', U'\x1b', U'\\'}) {
    EXPECT_EQ(CodeForTypedChar(c), c);
  }
  EXPECT_EQ(CodeForTypedChar(U'¥'), 0x5C);
  EXPECT_EQ(CodeForTypedChar(U'｡'), 0xA1);
  EXPECT_EQ(CodeForTypedChar(U'ﾟ'), 0xDF);
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
