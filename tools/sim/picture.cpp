// The runner's presentation layer: an offscreen QImage canvas, drawn as the window draws.
#include "tools/sim/picture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "app/message_text.h"
#include "frontend/qt/image_canvas.h"
#include "frontend/qt/offscreen_gui.h"
#include "render/canvas.h"
#include "render/handles.h"
#include "render/sprite_sheet.h"

namespace {

std::unique_ptr<ImageCanvas> picture;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Empty when the whole of `bytes` is in the file, else why not. A picture goes only into a
// regular file: opening a FIFO or a device could wait for a reader or do what that device
// does. The open itself never waits (a FIFO without a reader fails).
std::string WriteFileBytes(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return errno == ENXIO ? "not a regular file" : std::strerror(errno);
  struct stat status {};
  std::string problem;
  if (::fstat(fd, &status) != 0) problem = std::strerror(errno);
  if (problem.empty() && !S_ISREG(status.st_mode)) problem = "not a regular file";
  if (problem.empty() && ::ftruncate(fd, 0) != 0) problem = std::strerror(errno);
  if (problem.empty() && !WriteAll(fd, bytes)) problem = std::strerror(errno);
  if (::close(fd) != 0 && problem.empty()) problem = std::strerror(errno);
  return problem;
}

// The file gets exactly the path's bytes as its name, which need not be text in any
// encoding; a NUL would end the name early, so such a path is refused.
std::string SavePng(const QImage& image, const std::string& path) {
  const std::string quoted = QuoteForMessage(path);
  if (path.find('\0') != std::string::npos) return "a file name cannot hold a NUL byte: " + quoted;
  if (image.isNull()) return "the picture is empty, nothing written to " + quoted;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return "cannot encode the picture for " + quoted;
  const std::string problem = WriteFileBytes(path, std::string_view(png.constData(), png.size()));
  return problem.empty() ? "" : "cannot write " + quoted + ": " + problem;
}

}  // namespace

PixelCanvas* BuildPicture(int width, int height) {
  StartOffscreenGui();
  picture = std::make_unique<ImageCanvas>(width, height);
  return picture.get();
}

void DropPicture() {
  if (windowDC == picture.get()) windowDC = nullptr;
  if (picture && sheetDC == picture->sheet()) sheetDC = nullptr;
  picture.reset();
}

std::string SavePicturePng(const std::string& path, bool sheet) {
  return SavePng(ImageOf(sheet ? *picture->sheet() : *picture), path);
}
