// The runner's presentation layer: an offscreen QImage canvas, drawn as the window draws.
#include "tools/sim/picture.h"

#include <QImage>
#include <QString>
#include <memory>

#include "app/startup.h"
#include "frontend/qt/image_canvas.h"
#include "frontend/qt/offscreen_gui.h"
#include "render/canvas.h"
#include "render/sprite_sheet.h"

namespace {

std::unique_ptr<ImageCanvas> picture;

std::string SavePng(const QImage& image, const std::string& path) {
  if (image.isNull()) return "the picture is empty, nothing written to " + path;
  if (!image.save(QString::fromStdString(path), "PNG")) return "cannot write " + path;
  return "";
}

}  // namespace

bool PictureExists() {
  return picture != nullptr;
}

void BuildPicture(int width, int height) {
  StartOffscreenGui();
  picture = std::make_unique<ImageCanvas>(width, height);
  AttachWindowPicture(picture.get());
}

void ResizePicture(int width, int height) {
  if (picture) picture->Resize(width, height);
}

void DropPicture() {
  if (windowDC == picture.get()) windowDC = nullptr;
  if (picture && sheetDC == picture->sheet()) sheetDC = nullptr;
  picture.reset();
}

std::string SavePicturePng(const std::string& path) {
  return SavePng(picture->image(), path);
}

std::string SaveSheetPng(const std::string& path) {
  return SavePng(ImageOf(*picture->sheet()), path);
}
