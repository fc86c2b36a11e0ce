// Field geometry: the launchers and the response to a new client size.
#include "core/geometry.h"

#include "core/records.h"
#include "render/draw.h"
#include "render/text_box.h"

void PlaceLaunchers() {
  FieldGeometry& f = fieldGeometry;
  f.centreLauncherX = f.fieldLeft + f.fieldWidth / 2;
  const int32_t quarter = f.fieldWidth / 4;
  f.leftLauncherX = f.centreLauncherX - quarter;
  f.rightLauncherX = f.centreLauncherX + quarter;
}

// Missiles and interceptors keep their coordinates; every tick draws them again.
void OnSize(int32_t width, int32_t height) {
  FieldGeometry& f = fieldGeometry;
  f.fieldTop = 0;
  f.fieldLeft = 0;
  f.fieldWidth = width;
  f.statusHeight = kStatusBandHeight;
  f.fieldRight = width;
  f.fieldHeight = height - kStatusBandHeight;
  f.groundY = height - kStatusBandHeight;
  f.statusTop = height - kStatusBandHeight;
  f.centreLauncherX = width / 2;
  f.leftLauncherX = f.centreLauncherX - width / 4;
  f.rightLauncherX = f.centreLauncherX + width / 4;
  BlankField(gameState, fieldGeometry);
}
