// The runner's window picture and sprite sheet, made at the first command that asks for one.
#pragma once

#include <string>

class Canvas;

// The largest side of a picture: a larger window is drawn only as far as this.
int MaxPictureSide();

// Whether the presentation layer exists yet.
bool PictureExists();

// Makes the window picture at the given client size, black, for the program to draw into
// (GameShell::AttachPicture); nullptr in a build without pictures.
Canvas* BuildPicture(int width, int height);

// Follows a size message: the picture takes the new client size. Nothing without a picture.
void ResizePicture(int width, int height);

// Forgets the picture; the program draws nowhere again.
void DropPicture();

// Write the window picture or the sprite sheet as a PNG file named by exactly the bytes of
// `path`; empty on success, else why not.
std::string SavePicturePng(const std::string& path);
std::string SaveSheetPng(const std::string& path);
