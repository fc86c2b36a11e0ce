// Finds the file of a sound effect for every front end that plays files.
#include "app/effect_files.h"

namespace {

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code unreadable;  // a folder that cannot be searched holds no sound
  return std::filesystem::is_regular_file(path, unreadable);
}

}  // namespace

std::filesystem::path LocateEffectFile(const char* name,
                                       const std::vector<std::filesystem::path>& folders) {
  if (IsRegularFile(name)) return name;
  for (const std::filesystem::path& folder : folders) {
    if (IsRegularFile(folder / name)) return folder / name;
  }
  return {};
}
