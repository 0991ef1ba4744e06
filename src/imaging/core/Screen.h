#pragma once
// What the image model needs to know about the screen besides its depth (platform/display): its
// logical resolution (a picture whose resolution is not given takes it).

namespace kestrel {

// Logical dots per inch of the primary screen when a QGuiApplication exists, else 96.
int ScreenLogicalDpiX();
int ScreenLogicalDpiY();

} // namespace kestrel
