// The runner's presentation layer in a build without Qt: there is never a picture to write.
#include "tools/sim/picture.h"

PixelCanvas* BuildPicture(int, int) {
  return nullptr;
}

void DropPicture() {}

std::string SavePicturePng(const std::string&, bool) {
  return "this runner was built without pictures";
}
