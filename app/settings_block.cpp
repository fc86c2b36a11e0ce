// Quoting the settings text for a recording, and reading it back.
#include "app/settings_block.h"

#include <charconv>
#include <cstdint>

namespace {

// An ordinary settings line (a score and a 79-character name) fits in one quoted line; a
// longer one is cut, so no runner line comes near the runner's longest line.
constexpr size_t kBytesPerQuotedLine = 128;

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendQuoted(unsigned char c, std::string& out) {
  if (c == '\\' || c == '"') out += '\\';
  if (c == '\n') {
    out += "\\n";
  } else if (c >= 0x20 && c < 0x7F) {
    out += static_cast<char>(c);
  } else {
    out += {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
  }
}

// The byte an escape after a backslash stands for, and how many characters it took.
int Unescape(std::string_view rest, size_t* length) {
  *length = 1;
  if (rest.starts_with('\\') || rest.starts_with('"')) return static_cast<unsigned char>(rest[0]);
  if (rest.starts_with('n')) return '\n';
  *length = 3;
  uint8_t byte = 0;
  const char* digits = rest.data() + 1;
  const bool hex = rest.starts_with('x') && rest.size() >= 3 &&
                   std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2;
  return hex ? byte : -1;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string FormatSettingsBlock(const std::string* text) {
  if (text == nullptr) {
    return std::string(kSettingsBlockStart) + " " + std::string(kNoSettings) + "\n";
  }
  std::string block = std::string(kSettingsBlockStart) + "\n";
  size_t inLine = 0;
  for (size_t i = 0; i < text->size(); ++i) {
    if (inLine == 0) block += '"';
    const auto c = static_cast<unsigned char>((*text)[i]);
    AppendQuoted(c, block);
    if (c == '\n' || ++inLine == kBytesPerQuotedLine || i + 1 == text->size()) {
      block += "\"\n";
      inLine = 0;
    }
  }
  return block + std::string(kSettingsBlockEnd) + "\n";
}

bool ReadQuotedSettingsLine(std::string_view line, std::string* text) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
  line = line.substr(1, line.size() - 2);
  std::string bytes;
  for (size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == '"' || c < 0x20 || c >= 0x7F) return false;
    size_t length = 0;
    const int byte = c == '\\' ? Unescape(line.substr(i + 1), &length) : c;
    if (byte < 0) return false;
    bytes += static_cast<char>(byte);
    i += length;
  }
  text->append(bytes);
  return true;
}
