#pragma once
// What the image model needs to know about the screen: its colour depth (device bitmaps made
// "compatible with the screen" take it) and its logical resolution (a picture whose resolution is
// not given takes it).

namespace kestrel {

// Bits per pixel of the screen: the environment variable KESTREL_SCREEN_DEPTH when it holds a
// number from 1 to 32, else the primary screen's depth when a QGuiApplication exists, else 32.
int ScreenColorDepth();

// Logical dots per inch of the primary screen when a QGuiApplication exists, else 96.
int ScreenLogicalDpiX();
int ScreenLogicalDpiY();

} // namespace kestrel
