// The sprite sheet: bitmap 109 and the glyph cells of every character, made once at start-up.
#pragma once

#include "core/records.h"
#include "render/handles.h"

// The sheet every sprite is copied from, sheetDC: 512 x 512 pixels, 256 cells of 32 x 32.
// Made by CreateSpriteSheet; nullptr while there is no window picture.

// The glyph of slot s lies in cell s + kGlyphCellOffset; explosion frame f in cell f + 2.
constexpr int kGlyphCellOffset = 32;
constexpr int kExplosionCellOffset = 2;
constexpr int kCellSize = 32;
constexpr int kSheetSize = 512;

// Makes the sheet beside windowDC and draws bitmap 109 into it. Nothing without windowDC.
void CreateSpriteSheet();

// Writes the glyphs of the Latin slots (upper case to symbols, characters of `alphabet`) in the
// text font and the katakana of the kana slots in the Mincho font, yellow on black, each
// centred on column 16 of its cell with its character box ending at row 31. `ranges` are the
// classes' slot ranges as the character tables give them.
void RenderGlyphCells(const char* alphabet, const ClassRange (&ranges)[kClassCount]);
