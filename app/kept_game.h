// Keeping a finished game: its recording written as a new file beside the settings file (on
// the desktop) or handed to the page as a download and a link (in the browser).
#pragma once

#include <ctime>
#include <string>

struct KeptGame {
  std::string where;      // the file's full path; in the page, the download's name
  std::string problem;    // empty when the game was kept, else why not, in one phrase
  bool download = false;  // handed to the browser rather than written
};

// `when` as "YYYYMMDD-HHMMSS" in local time. The front end calls it when the shell asks: the
// shell reads no clock.
std::string LocalTimeStamp(std::time_t when);

// The name a game ended at `stamp` is saved under: volarin-STAMP.txt, or volarin-STAMP-N.txt
// for the Nth file of that second (N from 2).
std::string KeptGameName(const std::string& stamp, int copy);

// Keeps `recording` as a new file (never over an existing name or through a link) in the
// folder of the settings file, or as the page's download.
KeptGame KeepGame(const std::string& stamp, const std::string& recording);
