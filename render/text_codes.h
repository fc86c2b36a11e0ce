// Code page 932 text as the game writes it, decoded to Unicode for the fonts.
#pragma once

// Decodes `length` bytes of code page 932: ASCII (0x5C is the backslash, as in the Western
// text font), the half-width katakana 0xA1 to 0xDF and the
// full-width katakana row 0x8340 to 0x8396. Any other code becomes U+FFFD. `out` has room for
// `length` characters; returns how many were written.
int DecodeCp932(const char* text, int length, char32_t* out);
