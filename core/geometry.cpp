// Field geometry: the launchers and the response to a new client size.
#include "core/geometry.h"

#include "core/records.h"
#include "render/draw.h"

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
  f.statusHeight = 32;
  f.fieldRight = width;
  f.fieldHeight = height - 32;
  f.groundY = height - 32;
  f.statusTop = height - 32;
  f.centreLauncherX = width / 2;
  f.leftLauncherX = f.centreLauncherX - width / 4;
  f.rightLauncherX = f.centreLauncherX + width / 4;
  BlankField(gameState, fieldGeometry);
}
