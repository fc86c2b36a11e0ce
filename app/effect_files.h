// Where the file of a sound effect is found: the working folder first, then installed folders.
#pragma once

#include <vector>

// The first file among `name` in the working folder and `name` in each of `folders` in turn,
// so a sound put beside the player's settings overrides the installed one; `isFile` says
// whether a path names a regular file (or a link to one), so a folder bearing the name is
// passed over; an empty folder name is passed over too. The working folder's file comes back as
// `name` itself; an empty path means there is none. Each front end gives its own path type and
// separator, so no file-system library comes into a statically linked game for this.
template <typename Path, typename IsFile>
Path LocateEffectFile(const Path& name, const std::vector<Path>& folders, const Path& separator,
                      IsFile isFile) {
  if (isFile(name)) return name;
  for (const Path& folder : folders) {
    if (folder == Path()) continue;  // an unknown folder, not the root
    const Path path = folder + separator + name;
    if (isFile(path)) return path;
  }
  return Path();
}
