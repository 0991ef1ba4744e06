#pragma once
// Where Kestrel keeps its files on this system. Every folder is read from the environment at each
// call, so a test can point XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR
// elsewhere.

#include <QString>

namespace kestrel {

// $XDG_CONFIG_HOME/Brackwell/Kestrel.reg (default ~/.config/...): the settings store.
QString SettingsFileName();
// $XDG_CACHE_HOME/Brackwell/Kestrel/UNDO/ (default ~/.cache/...), with its trailing "/".
QString UndoFolderName();
// $XDG_DATA_HOME/Brackwell/Kestrel/wallpaper/ (default ~/.local/share/...), with its trailing
// "/": where the wallpaper pictures are written.
QString WallpaperFolderName();
// $XDG_RUNTIME_DIR, or a private folder under the temporary folder when it is not set.
QString RuntimeFolder();
// The default for settings whose default is "the program's folder": Pictures, else home.
QString ProgramFolder();
// The running program's own file.
QString ExecutableFile();

} // namespace kestrel
