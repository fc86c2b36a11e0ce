// The game's two fonts as Qt fonts, and the character box the text is drawn in.
#pragma once

#include <QFont>

#include "render/canvas.h"
#include "render/text_box.h"

// The face asked for ("Century" or the Mincho face, resolved to the installed stand-ins), bold,
// 24 pixels, never antialiased, so that text keeps the exact colours it is drawn in.
QFont GameFont(FontId font);

// The character box of `font`, kept within the 32-pixel status band.
TextBox TextBoxOf(const QFont& font);
