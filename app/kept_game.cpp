// The names kept games take, the same on every platform.
#include "app/kept_game.h"

#include <cstdio>

std::string LocalTimeStamp(std::time_t when) {
  const std::tm* local = std::localtime(&when);
  if (local == nullptr) return "00000000-000000";
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local);
  return text;
}

// Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "-" + std::to_string().
std::string KeptGameName(const std::string& stamp, int copy) {
  std::string name = "volarin-";
  name += stamp;
  if (copy > 1) {
    name += '-';
    name += std::to_string(copy);
  }
  name += ".txt";
  return name;
}
