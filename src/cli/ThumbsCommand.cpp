#include "cli/ThumbsCommand.h"

#include "app/view/Dpicture.h"
#include "browse/thumbs/ThumbFolder.h"
#include "cli/ToolCommands.h"
#include "imaging/core/Exceptions.h"
#include "imaging/formats/FormatTable.h"
#include "platform/display/ScreenDepth.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include <climits>
#include <ostream>

namespace kestrel {
namespace {

// The picture files of folder (every kind the viewer lists), sorted by name as the file list
// sorts them.
std::vector<std::string> PictureNames(const std::string& folder) {
  QStringList filters;
  for (const std::string& extension : TableExtensions())
    if (KindOfPath("." + extension) != fkSound) filters << QString::fromStdString("*." + extension);
  const QDir dir(QString::fromStdString(folder));
  if (!dir.exists()) throw EStreamError("Cannot open the folder " + folder);
  std::vector<std::string> names;
  for (const QString& name :
       dir.entryList(filters, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase))
    names.push_back(QFile::encodeName(name).toStdString());
  return names;
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

bool ParseThumbsOption(const std::string& option, const std::function<const std::string&()>& value,
                       TThumbsOptions& options) {
  if (option == "--size") {
    options.Size = NumberIn(value(), 4, 8, 1024);
    if (!options.Size) throw TUsageError{"--size takes 8 to 1024"};
  } else if (option == "--hifi") {
    options.HiFi = true;
  } else if (option == "--shared-cache") {
    options.SharedCache = true;
  } else if (option == "--threads") {
    options.Threads = NumberIn(value(), 2, 1, 16);
    if (!options.Threads) throw TUsageError{"--threads takes 1 to 16"};
  } else if (option == "--format") {
    options.Format = LowerExtension("." + value());
    const TFileKind kind = KindOfPath("." + *options.Format);
    if (kind == fkNone || kind == fkSound || kind == fkWmf || kind == fkEmf)
      throw TUsageError{"--format takes the extension of a picture format that can be written"};
  } else {
    return false;
  }
  return true;
}

std::string ThumbsFormat(const TThumbsOptions& options) {
  return options.Format.value_or("png");
}

int MakeFolderThumbnails(
    const std::string& folder, const std::string& outdir, const TThumbsOptions& options,
    const std::function<int(const TBitmap& tile, const std::string& path)>& save, std::ostream& out,
    std::ostream& err) {
  const std::vector<std::string> names = PictureNames(folder);
  if (!QDir().mkpath(QString::fromStdString(outdir)))
    throw EStreamError("Cannot create the folder " + outdir);
  TThumbFolder worker;
  worker.Folder = folder.ends_with('/') ? folder : folder + "/";
  worker.Options.Size = options.Size.value_or(80);
  worker.Options.HiFi = options.HiFi;
  worker.Options.Background = clBlack;
  worker.Threads = options.Threads.value_or(0);
  if (options.SharedCache) worker.Cache = std::make_shared<TThumbCache>();
  worker.MaximumCount = INT_MAX;
  worker.Reader = [depth = ScreenDepth()](const std::string& path) {
    return ReadPictureGraphic(path, depth);
  };
  worker.CollectNames(names);
  int written = 0, failed = 0;
  const std::string extension = "." + ThumbsFormat(options);
  worker.OnThumbnail = [&](const TThumbDelivery& delivery) {
    const std::string name = names[static_cast<size_t>(delivery.Index)];
    if (delivery.Code != tcNone) {
      err << "kestrel-tool: " << name << ": ERROR:" << delivery.Code << "\n";
      ++failed;
    } else if (save(*delivery.Tile, outdir + "/t" + WithoutExtension(name) + extension) ==
               kExitOk) {
      ++written;
    } else {
      ++failed;
    }
  };
  QEventLoop loop;
  worker.OnFinished = [&loop] { loop.quit(); };
  worker.Start();
  loop.exec();
  out << written << " thumbnails written to " << outdir << "\n";
  return failed == 0 ? kExitOk : kExitFailed;
}

} // namespace kestrel
