#pragma once
// The settings of the main window and its companions (defaults live where they are read).

#include "platform/settings/Settings.h"

namespace kestrel::MainSettings {

inline const TSettingKey SingleInstance{"MainForm", "Single Instance"};
inline const TSettingKey StartMinimized{"MainForm", "Start Minimized"};
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
inline const TSettingKey CustomDir{"FileView", "Custom Dir"};
inline const TSettingKey InitialDir{"FileView", "Initial Dir"};

inline constexpr int kLayoutWidth = 577;
inline constexpr int kLayoutHeight = 427;
inline constexpr int kDefaultSlideTicks = 33;

} // namespace kestrel::MainSettings
