// The runner's presentation layer in a build without Qt: there is never a picture to write.
#include "tools/sim/picture.h"

namespace {

const std::string kNoPictures = "this runner was built without pictures";

}  // namespace

int MaxPictureSide() {
  return 0;
}

bool PictureExists() {
  return false;
}

Canvas* BuildPicture(int, int) {
  return nullptr;
}

void ResizePicture(int, int) {}

void DropPicture() {}

std::string SavePicturePng(const std::string&) {
  return kNoPictures;
}

std::string SaveSheetPng(const std::string&) {
  return kNoPictures;
}
