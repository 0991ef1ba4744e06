#pragma once
// Asking the desktop to show a picture as its wallpaper, or none. The desktop is known by
// XDG_CURRENT_DESKTOP: GNOME (and Cinnamon, with its own keys) and MATE through gsettings, Xfce
// through xfconf-query for every monitor, KDE through plasma-apply-wallpaperimage; elsewhere feh,
// when it is installed, sets the root window. Commands are argument lists, never shell text.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace kestrel {

enum class TWallpaperStyle { None = 0, Centered = 1, Tiled = 2, Stretched = 3 };

struct TWallpaperCommand {
  QString Program;
  QStringList Arguments;
  bool operator==(const TWallpaperCommand&) const = default;
};

// text as a GVariant string for gsettings: quoted, with its quotes and backslashes escaped.
QString GVariantText(const QString& text);

class TWallpaperSetter {
public:
  // Runs a command: its standard output, or nothing when it could not run or failed.
  using TRunner = std::function<std::optional<QString>(const TWallpaperCommand&)>;
  // Whether a program can be found.
  using TFinder = std::function<bool(const QString& program)>;

  // By default commands run for real and programs are looked for on PATH; tests record instead.
  TWallpaperSetter();
  void SetRunner(TRunner runner) { runner_ = std::move(runner); }
  void SetFinder(TFinder finder) { finder_ = std::move(finder); }

  // Shows file in style (TWallpaperStyle::None and an empty file: no wallpaper). False when this
  // desktop has no way we know of, or its command failed.
  bool Apply(const QString& file, TWallpaperStyle style) const;

private:
  bool ApplyGSettings(const QString& schema, const QString& key, const QString& value,
                      TWallpaperStyle style, bool dark) const;
  bool ApplyXfce(const QString& file, TWallpaperStyle style) const;
  bool Run(const QString& program, const QStringList& arguments) const;

  TRunner runner_;
  TFinder finder_;
};

} // namespace kestrel
