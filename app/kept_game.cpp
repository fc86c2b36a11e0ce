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

std::string KeptGameName(const std::string& stamp, int copy) {
  return "volarin-" + stamp + (copy > 1 ? "-" + std::to_string(copy) : "") + ".txt";
}
