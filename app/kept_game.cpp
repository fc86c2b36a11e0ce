// Keeping a finished game, the same on every platform: a new file beside the settings file,
// or the page's download, through the store (app/store.h).
#include "app/kept_game.h"

#include <cstdio>

#include "app/settings.h"
#include "app/store.h"

namespace {

// Names already taken get a suffix; past this many in one second something else is wrong.
constexpr int kMostCopies = 99;

}  // namespace

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

// A name that exists (a file, a link, anything) is never written over or through.
KeptGame KeepGame(const std::string& stamp, const std::string& recording) {
  NewFile made = MakeNewFile(SettingsFile(), KeptGameName(stamp, 1), recording);
  for (int copy = 2; made.taken && copy <= kMostCopies; ++copy) {
    made = MakeNewFile(SettingsFile(), KeptGameName(stamp, copy), recording);
  }
  return {.where = made.where, .problem = made.problem, .download = made.download};
}
