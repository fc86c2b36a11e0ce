// The runner's window picture and sprite sheet, made at the first command that asks for one.
#pragma once

#include <string>

class PixelCanvas;

// Makes the window picture at the given client size, black, for the program to draw into
// (GameShell::AttachPicture); nullptr in a build without pictures.
PixelCanvas* BuildPicture(int width, int height);

// Forgets the picture; the program draws nowhere again.
void DropPicture();

// Writes the window picture, or its sprite sheet when `sheet`, as a PNG file named by exactly
// the bytes of `path`; empty on success, else why not.
std::string SavePicturePng(const std::string& path, bool sheet);
