#include "desktop/wallpaper/Wallpaper.h"

#include "app/save/JpegRoundTrip.h"
#include "app/save/SafeFileWrite.h"
#include "imaging/bmp/BmpFile.h"
#include "imaging/core/Bitmap.h"
#include "platform/paths/Paths.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel {
namespace {

const char kCaption[] = "Kestrel!: Set As WallPaper";

bool SameFile(const QString& a, const QString& b) {
  const QString canonical = QFileInfo(a).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

QString WallpaperFileFor(const TWallpaperSource& source) {
  QString base = "untitled";
  if (!source.SelectedFile.isEmpty())
    base = QFileInfo(source.SelectedFile).completeBaseName();
  else if (!source.ShownFile.isEmpty() && QFileInfo(source.ShownFile).isFile())
    base = QFileInfo(source.ShownFile).completeBaseName();
  return WallpaperFolderName() + base + ".bmp";
}

TWallpaper::TWallpaper(QWidget* parent) : parent_(parent) {}

QString TWallpaper::Set(const TWallpaperSource& source, TWallpaperStyle style) {
  const TBitmap* shown = source.Shown;
  if (!shown || shown->Empty() || style == TWallpaperStyle::None) return {};
  const QString file = WallpaperFileFor(source);
  if (SameFile(file, source.SelectedFile) || SameFile(file, source.ShownFile)) {
    // Writing would put the picture's 256-colour copy in place of the picture itself.
    ShowMessage(file + "\rThis picture is the wallpaper file itself.\rChoose another picture.",
                kCaption, TMsgIcon::Warning, parent_);
    return {};
  }
  bool write = true;
  if (QFileInfo::exists(file)) {
    const TMsgResult answer =
        MessageBox({file + "\rThis File Already Exists\r\rChoose YES to Replace the File\r"
                           "Choose NO to Use the Existing File",
                    kCaption, TMsgIcon::Question, TMsgButtons::YesNoCancel},
                   parent_);
    if (answer == TMsgResult::Cancel) return {};
    write = answer == TMsgResult::Yes;
  }
  if (write && !WriteFile(*shown, file)) return {};
  Apply(file, style);
  return file;
}

void TWallpaper::Remove() {
  if (!Setter.Apply(QString(), TWallpaperStyle::None))
    ShowMessage("The wallpaper of this desktop cannot be removed from Kestrel!.", kCaption,
                TMsgIcon::Information, parent_);
}

bool TWallpaper::WriteFile(const TBitmap& shown, const QString& file) {
  try {
    QDir().mkpath(QFileInfo(file).absolutePath());
    TBitmap copy;
    if (shown.BitsPerPixel() > 8)
      copy.Assign(JpegRoundTrip(shown, true).get());
    else
      copy.Assign(&shown);
    WriteFileSafely(QFile::encodeName(file).toStdString(),
                    [&copy](TStream& stream) { WriteBmpFile(stream, copy); });
    return true;
  } catch (const std::exception& error) {
    ShowMessage(QString::fromStdString(error.what()), kCaption, TMsgIcon::Error, parent_);
    return false;
  }
}

void TWallpaper::Apply(const QString& file, TWallpaperStyle style) {
  if (!Setter.Apply(file, style))
    ShowMessage("Kestrel! cannot set the wallpaper of this desktop.\rThe picture is saved as\r" +
                    file,
                kCaption, TMsgIcon::Information, parent_);
}

} // namespace kestrel
