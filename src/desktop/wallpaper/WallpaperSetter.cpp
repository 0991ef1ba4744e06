#include "desktop/wallpaper/WallpaperSetter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kestrel {
namespace {

constexpr int kCommandMs = 10000;

bool OnDesktop(const QString& name) {
  const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(':');
  return desktops.contains(name, Qt::CaseInsensitive);
}

QString GnomeOption(TWallpaperStyle style) {
  switch (style) {
  case TWallpaperStyle::Centered:
    return "centered";
  case TWallpaperStyle::Tiled:
    return "wallpaper";
  case TWallpaperStyle::Stretched:
    return "stretched";
  case TWallpaperStyle::None:
    break;
  }
  return "none";
}

std::optional<QString> RunCommand(const TWallpaperCommand& command) {
  QProcess process;
  process.start(command.Program, command.Arguments);
  if (!process.waitForFinished(kCommandMs) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return std::nullopt;
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

QString GVariantText(const QString& text) {
  QString escaped = text;
  escaped.replace('\\', "\\\\").replace('\'', "\\'");
  return "'" + escaped + "'";
}

TWallpaperSetter::TWallpaperSetter()
    : runner_(RunCommand), finder_([](const QString& program) {
        return !QStandardPaths::findExecutable(program).isEmpty();
      }) {}

bool TWallpaperSetter::Run(const QString& program, const QStringList& arguments) const {
  return runner_({program, arguments}).has_value();
}

bool TWallpaperSetter::Apply(const QString& file, TWallpaperStyle style) const {
  const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
  if (OnDesktop("X-Cinnamon") || OnDesktop("Cinnamon"))
    return ApplyGSettings("org.cinnamon.desktop.background", "picture-uri", uri, style, false);
  if (OnDesktop("MATE"))
    return ApplyGSettings("org.mate.background", "picture-filename", file, style, false);
  if (OnDesktop("GNOME") || OnDesktop("Unity") || OnDesktop("Budgie"))
    return ApplyGSettings("org.gnome.desktop.background", "picture-uri", uri, style, true);
  if (OnDesktop("XFCE")) return ApplyXfce(file, style);
  if (OnDesktop("KDE"))
    return style != TWallpaperStyle::None && finder_("plasma-apply-wallpaperimage") &&
           Run("plasma-apply-wallpaperimage", {file});
  if (style == TWallpaperStyle::None || !finder_("feh")) return false;
  const char* option = style == TWallpaperStyle::Centered ? "--bg-center"
                       : style == TWallpaperStyle::Tiled  ? "--bg-tile"
                                                          : "--bg-scale";
  return Run("feh", {option, file});
}

bool TWallpaperSetter::ApplyGSettings(const QString& schema, const QString& key,
                                      const QString& value, TWallpaperStyle style,
                                      bool dark) const {
  if (!finder_("gsettings")) return false;
  if (style != TWallpaperStyle::None) {
    if (!Run("gsettings", {"set", schema, key, GVariantText(value)})) return false;
    // The dark-style picture (GNOME 42 on); older versions lack the key, which is no failure.
    if (dark) Run("gsettings", {"set", schema, key + "-dark", GVariantText(value)});
  }
  return Run("gsettings", {"set", schema, "picture-options", GVariantText(GnomeOption(style))});
}

bool TWallpaperSetter::ApplyXfce(const QString& file, TWallpaperStyle style) const {
  if (!finder_("xfconf-query")) return false;
  const auto listed = runner_({"xfconf-query", {"-c", "xfce4-desktop", "-l"}});
  if (!listed) return false;
  bool any = false;
  // One picture and style per monitor and workspace.
  for (const QString& property : listed->split('\n', Qt::SkipEmptyParts)) {
    if (!property.endsWith("/last-image")) continue;
    const QString base = property.chopped(QString("last-image").size());
    if (style != TWallpaperStyle::None)
      any |= Run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", file});
    any |= Run("xfconf-query", {"-c", "xfce4-desktop", "-p", base + "image-style", "-n", "-t",
                                "int", "-s", QString::number(static_cast<int>(style))});
  }
  return any;
}

} // namespace kestrel
