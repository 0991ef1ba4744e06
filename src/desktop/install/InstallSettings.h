#pragma once
// The settings the installation window reads and writes.

#include "platform/settings/Settings.h"

namespace kestrel::InstallSettings {

inline const TSettingKey Locations{"Links", "Locations"};
inline const TSettingKey Extensions{"Associations", "Extensions"};
inline const TSettingKey SingleInstance{"MainForm", "Single Instance"};
inline const TSettingKey StartMinimized{"MainForm", "Start Minimized"};
inline const TSettingKey GoNative{"MainForm", "Go Native"};
inline const TSettingKey CustomDir{"FileView", "Custom Dir"};
inline const TSettingKey InitialDir{"FileView", "Initial Dir"};
inline const TSettingKey DontShowAgain{"Dialogs", "DontShowAgain"};

} // namespace kestrel::InstallSettings
