// Every drawing operation of the game, all through windowDC; each does nothing without it.
#pragma once

#include <cstdint>

// Sprite positions are centres; they are truncated toward zero before half the size is taken.
void DrawMissileSprite(double x, double y, int32_t slot);
void EraseCell(double x, double y);
void DrawExplosionFrame(double x, double y, int32_t frame);
void DrawInterceptor(double x, double y);
void EraseInterceptor(double x, double y);

// The blue band with score, level, flushes and misses, and the three green launcher bases.
void DrawStatusBar();

// The playfield black, then the status bar.
void BlankField();

// "GAME OVER" red on black in the middle of the field.
void DrawGameOverText();

// White half circles growing from (x, groundY), then black ones shrinking back.
void DrawImpactEffect(double x);

// How many times the impact effect presents the picture at the current field height, so a
// front end can pace the dome over a fixed time.
int32_t ImpactEffectPresentCount();

// Sets the lasting text alignment, colours, font and brush of windowDC.
void PrepareWindowDC();
