// Holding drawing calls from the first present on, and passing them on later in order.
#include "app/deferred_canvas.h"

#include <algorithm>
#include <string>
#include <utility>

// A template, so a call passed straight on is never wrapped.
template <typename Draw>
void DeferredCanvas::Pass(Draw draw) {
  if (!held_.empty()) {
    held_.emplace_back(std::move(draw));
  } else if (target_ != nullptr) {
    draw(*target_);
  }
}

void DeferredCanvas::ReleaseThroughPresent(int count) {
  while (count > 0 && released_ < held_.size()) {
    const Call& call = held_[released_++];
    if (!call) {  // a present: the front end shows the picture when the shell says
      --presentsHeld_;
      --count;
    } else if (target_ != nullptr) {
      call(*target_);
    }
  }
}

// Past the last present held, so the calls after it go too.
void DeferredCanvas::ReleaseAll() {
  ReleaseThroughPresent(presentsHeld_ + 1);
  held_.clear();
  released_ = 0;
}

Canvas* DeferredCanvas::CreateSheet(int width, int height) {
  return target_ == nullptr ? nullptr : target_->CreateSheet(width, height);
}

// The row and the text are copied only to be held: the caller's buffers are reused.
void DeferredCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  if (held_.empty() && target_ != nullptr) return target_->DrawPixelRow(x, y, colours, count);
  Pass([x, y, row = std::vector<Colour>(colours, colours + std::max(count, 0))](Canvas& to) {
    to.DrawPixelRow(x, y, row.data(), static_cast<int>(row.size()));
  });
}

void DeferredCanvas::SelectFont(FontId font) {
  Pass([=](Canvas& to) { to.SelectFont(font); });
}

void DeferredCanvas::CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                                   RasterOp op, Colour pattern) {
  Pass([=](Canvas& to) { to.CopyFromSheet(x, y, width, height, sheetX, sheetY, op, pattern); });
}

void DeferredCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  Pass([=](Canvas& to) { to.FillRectangle(left, top, right, bottom, colour); });
}

void DeferredCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                                    Colour foreground, Colour background) {
  if (held_.empty() && target_ != nullptr)
    return target_->DrawOpaqueText(x, y, align, text, length, foreground, background);
  Pass([=, held = std::string(text, static_cast<size_t>(std::max(length, 0)))](Canvas& to) {
    to.DrawOpaqueText(x, y, align, held.data(), static_cast<int>(held.size()), foreground,
                      background);
  });
}

void DeferredCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  Pass([=](Canvas& to) { to.DrawUpperHalfCircle(cx, cy, r, pen); });
}

void DeferredCanvas::Present() {
  ++presentsHeld_;
  held_.emplace_back();
}
