// A Qt GUI application without a display, for drawing pictures in tools and tests.
#pragma once

// Starts a QGuiApplication on the offscreen platform unless the process already has a Qt
// application; fonts and images then work with no display. It lasts until the process ends.
void StartOffscreenGui();
