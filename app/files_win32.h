// Text, writing and error helpers for the shared layer's Windows files.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 as the wide text the W functions take.
std::wstring Utf16(const std::string& utf8);

// Writes all of `text` at the file's position, a megabyte at most per call; false on the first
// write that fails or writes nothing (GetLastError says why).
bool WriteAll(HANDLE file, const std::string& text);

// An error code as the player is told it.
std::string Win32Problem(DWORD error);
