// Where the file of a sound effect is found: the working folder first, then installed folders.
#pragma once

#include <filesystem>
#include <vector>

// The first regular file (or link to one) among `name` in the working folder and `name` in
// each of `folders` in turn, so a sound put beside the player's settings overrides the
// installed one. The working folder's file comes back as `name` itself; an empty path means
// there is none. Looked up at each call: files may come and go while the game runs.
std::filesystem::path LocateEffectFile(const char* name,
                                       const std::vector<std::filesystem::path>& folders);
