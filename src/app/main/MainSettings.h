#pragma once
// The settings of the main window and its companions (defaults live where they are read).

#include "desktop/install/InstallSettings.h"
#include "platform/settings/Settings.h"

namespace kestrel::MainSettings {

// Written by the installation window.
using InstallSettings::CustomDir;
using InstallSettings::InitialDir;
using InstallSettings::SingleInstance;
using InstallSettings::StartMinimized;

inline const TSettingKey Width{"MainForm", "Width"};
inline const TSettingKey Height{"MainForm", "Height"};
inline const TSettingKey WindowState{"MainForm", "WindowState"};
inline const TSettingKey PreservePixels{"MainForm", "Preserve Pixels"};
inline const TSettingKey PictextBackground{"MainForm", "Pictext BackgroundColor"};
inline const TSettingKey PictextFontColor{"MainForm", "Pictext FontColor"};
inline const TSettingKey PictextFontSize{"MainForm", "Pictext FontSize"};
inline const TSettingKey PictextFontName{"MainForm", "Pictext FontName"};
inline const TSettingKey ImageFrame{"Color", "Image Frame"};
inline const TSettingKey FileViewColor{"Color", "FileView"};
inline const TSettingKey SlideTimer{"SlideShow", "Timer"};
inline const TSettingKey CopyMoveTarget{"SaveDialog", "Initial Dir"};

inline constexpr int kLayoutWidth = 577;
inline constexpr int kLayoutHeight = 427;
inline constexpr int kDefaultSlideTicks = 33;

} // namespace kestrel::MainSettings
