// Every drawing operation of the game, all through windowDC; each does nothing without it.
#pragma once

#include <cstdint>

#include "core/records.h"

// Sprite positions are centres; they are truncated toward zero before half the size is taken.
// A Falling missile shows its glyph in yellow; a Mirv (any other state) in red.
void DrawMissileSprite(double x, double y, int32_t slot, int32_t state);
void EraseCell(double x, double y);
void DrawExplosionFrame(double x, double y, int32_t frame);
void DrawInterceptor(double x, double y);
void EraseInterceptor(double x, double y);

// The blue band with score, level, flushes and misses, and the three green launcher bases.
void DrawStatusBar(const GameState& game, const FieldGeometry& field);

// The playfield black, then the status bar.
void BlankField(const GameState& game, const FieldGeometry& field);

// "GAME OVER" red on black in the middle of the field.
void DrawGameOverText(const FieldGeometry& field);

// White half circles growing from (x, groundY), then black ones shrinking back.
void DrawImpactEffect(double x, const FieldGeometry& field);

// Selects the text font into windowDC; every text call names its own alignment and colours.
void PrepareWindowDC();
