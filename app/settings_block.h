// The settings a recording started with, written into it as a block of runner lines that
// holds any bytes, so the recording replays without the player's settings file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The block: "settings", then one quoted line per piece of the text, then "end settings".
// Without a settings file: the one line "settings none" (the defaults).
inline constexpr std::string_view kSettingsBlockStart = "settings";
inline constexpr std::string_view kSettingsBlockEnd = "end settings";
inline constexpr std::string_view kNoSettings = "none";

// More than any settings store reads (1 MiB): a block holding more is not a recording's.
inline constexpr size_t kLongestSettingsBlockText = size_t{2} << 20;

// The block for the settings text start-up read, or for none; each line ends in "\n".
// Each quoted line holds one line of the text, or a piece of a long one: the pieces put
// together in order are the text, byte for byte.
std::string FormatSettingsBlock(const std::string* text);

// Appends the bytes of one quoted line to `text`; false, appending nothing, when the line
// is not one: a double quote, then printable ASCII with \\, \", \n or \xHH for every other
// byte, then a double quote, with nothing but blanks around (and one carriage return at the
// end, which any runner line may have).
bool ReadQuotedSettingsLine(std::string_view line, std::string* text);
