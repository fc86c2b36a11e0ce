// Decoding the code page 932 texts of the status bar and the glyph cells.
#include "render/text_codes.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Lead byte 0x83 holds the full-width katakana in Unicode order, with no code at trail 0x7F.
char32_t DecodeDoubleByte(unsigned char lead, unsigned char trail) {
  if (lead != 0x83) return kReplacement;
  if (trail >= 0x40 && trail <= 0x7E) return U'\u30A1' + (trail - 0x40);
  if (trail >= 0x80 && trail <= 0x96) return U'\u30E0' + (trail - 0x80);
  return kReplacement;
}

}  // namespace

int DecodeCp932(const char* text, int length, char32_t* out) {
  int written = 0;
  for (int i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out[written++] = byte;
    } else if (byte >= 0xA1 && byte <= 0xDF) {
      out[written++] = U'\uFF61' + (byte - 0xA1);
    } else if (IsLeadByte(byte) && i + 1 < length) {
      out[written++] = DecodeDoubleByte(byte, static_cast<unsigned char>(text[++i]));
    } else {
      out[written++] = kReplacement;
    }
  }
  return written;
}
