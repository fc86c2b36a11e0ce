// A canvas that passes drawing through to the window's picture until the rules present a
// frame, then holds every later call so the frames can be shown one by one afterwards.
//
// The impact dome is drawn and presented arc by arc inside a single tick, together with the
// end of the game that follows it. Holding the calls from the first present on lets a front
// end show the dome over half a second without ever waiting inside the rules: the same calls
// reach the picture in the same order, only later, so the final picture is exactly the one
// drawing straight through would give.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "render/canvas.h"

class DeferredCanvas : public Canvas {
 public:
  // The picture the calls go to; nullptr draws nowhere.
  void SetTarget(Canvas* target) { target_ = target; }

  // True while calls are held.
  bool Holding() const { return !held_.empty(); }
  // Presents held and not yet passed on.
  int PresentsHeld() const { return presentsHeld_; }
  // Passes held calls on up to and including the `count`-th present still held.
  void ReleaseThroughPresent(int count);
  // Passes every held call on; drawing goes straight through again.
  void ReleaseAll();

  Canvas* CreateSheet(int width, int height) override;
  void DrawPixelRow(int x, int y, const Colour* colours, int count) override;
  void SelectFont(FontId font) override;
  void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY, RasterOp op,
                     Colour pattern) override;
  void FillRectangle(int left, int top, int right, int bottom, Colour colour) override;
  void DrawOpaqueText(int x, int y, int align, const char* text, int length, Colour foreground,
                      Colour background) override;
  void DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) override;
  void Present() override;

 private:
  // A held call; an empty one stands for a present, where a frame ends.
  using Call = std::function<void(Canvas&)>;
  // Passes the call on at once while nothing is held, else holds it.
  template <typename Draw>
  void Pass(Draw draw);

  Canvas* target_ = nullptr;
  std::vector<Call> held_;
  size_t released_ = 0;  // held calls already passed on
  int presentsHeld_ = 0;
};
