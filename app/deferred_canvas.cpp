// Holding drawing calls from the first present on, and passing them on later in order.
#include "app/deferred_canvas.h"

#include <utility>

bool DeferredCanvas::Hold(Call call) {
  if (held_.empty() && call.kind != Kind::kPresent) return false;
  if (call.kind == Kind::kPresent) ++presentsHeld_;
  held_.push_back(std::move(call));
  return true;
}

void DeferredCanvas::Replay(const Call& c) {
  if (target_ == nullptr) return;
  switch (c.kind) {
    case Kind::kPixelRow:
      target_->DrawPixelRow(c.n[0], c.n[1], c.pixels.data(), static_cast<int>(c.pixels.size()));
      break;
    case Kind::kFont:
      target_->SelectFont(c.font);
      break;
    case Kind::kCopy:
      target_->CopyFromSheet(c.n[0], c.n[1], c.n[2], c.n[3], c.n[4], c.n[5], c.op, c.colours[0]);
      break;
    case Kind::kFill:
      target_->FillRectangle(c.n[0], c.n[1], c.n[2], c.n[3], c.colours[0]);
      break;
    case Kind::kText:
      target_->DrawOpaqueText(c.n[0], c.n[1], c.n[2], c.text.data(),
                              static_cast<int>(c.text.size()), c.colours[0], c.colours[1]);
      break;
    case Kind::kArc:
      target_->DrawUpperHalfCircle(c.n[0], c.n[1], c.n[2], c.colours[0]);
      break;
    case Kind::kPresent:
      break;  // the front end shows the picture when the shell tells it to
  }
}

void DeferredCanvas::ReleaseThroughPresent(int count) {
  while (count > 0 && released_ < held_.size()) {
    const Call& call = held_[released_++];
    Replay(call);
    if (call.kind == Kind::kPresent) {
      --presentsHeld_;
      --count;
    }
  }
}

void DeferredCanvas::ReleaseAll() {
  while (released_ < held_.size()) Replay(held_[released_++]);
  held_.clear();
  released_ = 0;
  presentsHeld_ = 0;
}

Canvas* DeferredCanvas::CreateSheet(int width, int height) {
  return target_ == nullptr ? nullptr : target_->CreateSheet(width, height);
}

void DeferredCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  Call call{Kind::kPixelRow, {x, y}, {}, {}, {}, {}, {}};
  if (held_.empty()) {
    if (target_ != nullptr) target_->DrawPixelRow(x, y, colours, count);
    return;
  }
  call.pixels.assign(colours, colours + (count > 0 ? count : 0));
  Hold(std::move(call));
}

void DeferredCanvas::SelectFont(FontId font) {
  Call call{Kind::kFont, {}, {}, font, {}, {}, {}};
  if (!Hold(call)) Replay(call);
}

void DeferredCanvas::CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                                   RasterOp op, Colour pattern) {
  Call call{Kind::kCopy, {x, y, width, height, sheetX, sheetY}, op, {}, {pattern}, {}, {}};
  if (!Hold(call)) Replay(call);
}

void DeferredCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  Call call{Kind::kFill, {left, top, right, bottom}, {}, {}, {colour}, {}, {}};
  if (!Hold(call)) Replay(call);
}

void DeferredCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                                    Colour foreground, Colour background) {
  if (held_.empty()) {
    if (target_ != nullptr)
      target_->DrawOpaqueText(x, y, align, text, length, foreground, background);
    return;
  }
  Call call{Kind::kText, {x, y, align}, {}, {}, {foreground, background}, {}, {}};
  call.text.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
  Hold(std::move(call));
}

void DeferredCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  Call call{Kind::kArc, {cx, cy, r}, {}, {}, {pen}, {}, {}};
  if (!Hold(call)) Replay(call);
}

void DeferredCanvas::Present() {
  Hold(Call{Kind::kPresent, {}, {}, {}, {}, {}, {}});
}
