// Typed characters as the single code page 932 byte the game reads.
#pragma once

#include <cstdint>

// A byte that is no character of code page 932 and so none of the alphabet's.
constexpr uint8_t kOutsideAlphabetCode = 0x80;

// The byte a typed Unicode character reaches the game as: ASCII (control characters
// included) as is; half-width katakana U+FF61..U+FF9F as 0xA1..0xDF; the full-width katakana
// and the hiragana of the alphabet's 41 kana as the half-width byte of the same sound; the
// yen sign as 0x5C, where code page 932 keeps it. Any other character gives
// kOutsideAlphabetCode.
uint8_t CodeForTypedChar(char32_t c);
