#include "desktop/install/DesktopIntegration.h"

#include "desktop/install/DesktopEntry.h"
#include "desktop/install/DesktopTools.h"
#include "desktop/install/FileTypes.h"
#include "desktop/install/FileWriting.h"
#include "desktop/install/MimeAppsList.h"
#include "desktop/install/MimeData.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrel {
namespace {

const char kMenuId[] = "kestrel-launcher.desktop";
const char kPackageMarker[] = "X-Kestrel-Owned=true";
const char kPackagePath[] = "mime/packages/kestrel.xml";
// The desktop starts a launcher on the desktop only when it may be executed.
constexpr QFileDevice::Permissions kLauncherPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
    QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser | QFileDevice::ReadGroup |
    QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

QString DataHome() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString Applications() {
  return DataHome() + "/applications";
}

// What update-desktop-database makes from the launchers of a folder.
const char kEntryCache[] = "mimeinfo.cache";
// What update-mime-database makes from the packages, besides one folder per media type.
const char* const kMimeDatabaseFiles[] = {
    "XMLnamespaces", "aliases",    "generic-icons", "globs",     "globs2", "icons",
    "magic",         "mime.cache", "subclasses",    "treemagic", "types",  "version"};

bool HoldsDesktopEntries(const QString& folder) {
  return QDirIterator(folder, {"*.desktop"}, QDir::Files, QDirIterator::Subdirectories).hasNext();
}

// The database of a MIME folder whose packages are gone. Only what the tool writes is removed:
// the files it makes and the type descriptions in the media-type folders it rewrites.
void RemoveMimeDatabase(const QString& mime) {
  for (const char* name : kMimeDatabaseFiles)
    QFile::remove(mime + "/" + name);
  for (const QString& media : QDir(mime).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (media == "packages") continue;
    QDir folder(mime + "/" + media);
    for (const QString& type : folder.entryList({"*.xml"}, QDir::Files))
      folder.remove(type);
    QDir().rmdir(folder.path());
  }
}

bool PackageIsOurs(const QString& file) {
  QFile package(file);
  return package.size() <= 65536 && package.open(QIODevice::ReadOnly) &&
         package.readAll().contains(kPackageMarker);
}

QByteArray FileContent(const QString& file) {
  QFile in(file);
  return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// One file of ours: written when content is given, removed when not, and in either case left
// alone when a file of that name is not ours. Whether it changed.
bool Place(const QString& file, const QByteArray* content, bool (*ours)(const QString&),
           std::optional<QFileDevice::Permissions> permissions, QStringList& problems) {
  const QFileInfo info(file);
  if ((info.exists() || info.isSymLink()) && !ours(file)) {
    if (content) problems << file + " is not Kestrel's own: it was left as it is.";
    return false;
  }
  QString problem;
  if (content) {
    if (info.exists() && FileContent(file) == *content) return false;
    problem = WriteWholeFile(file, *content, permissions);
  } else {
    if (!info.exists()) return false;
    problem = RemoveFile(file);
  }
  if (!problem.isEmpty()) problems << problem;
  return problem.isEmpty();
}

} // namespace

const char TDesktopIntegration::kEntryId[] = "kestrel.desktop";

TDesktopIntegration::TDesktopIntegration(const QString& program) : Program(program) {}

QString TDesktopIntegration::DesktopLauncher() const {
  return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/" + kEntryId;
}

QString TDesktopIntegration::MenuLauncher() const {
  return Applications() + "/" + kMenuId;
}

QString TDesktopIntegration::SendToEntry() const {
  return Applications() + "/" + kEntryId;
}

QString TDesktopIntegration::MimePackage() const {
  return DataHome() + "/" + kPackagePath;
}

bool TDesktopIntegration::SystemProvides(const QString& relative) {
  const QString own = QDir::cleanPath(DataHome());
  for (const QString& found :
       QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, relative))
    if (!QDir::cleanPath(found).startsWith(own + "/")) return true;
  return false;
}

QString TDesktopIntegration::IconName() const {
  // The icon the build made beside the program, or the installed one; else the theme's.
  const QString folder = QFileInfo(Program).absolutePath();
  const QString icon = "/icons/hicolor/256x256/apps/kestrel.png";
  for (const QString& candidate : {folder + "/integration" + icon, folder + "/../share" + icon})
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  return "kestrel";
}

QStringList TDesktopIntegration::ApplyLaunchers(const TDesktopChoice& choice) const {
  QStringList problems;
  TChanges changes;
  const TDesktopEntry entry{Program, IconName(), {}, true, true};
  const QByteArray text = entry.Text();
  const QString desktop = DesktopLauncher();
  const bool onDesktop = choice.Locations & lbDesktop;
  if (onDesktop && !QFileInfo(QFileInfo(desktop).path()).isDir())
    problems << "There is no desktop folder (" + QFileInfo(desktop).path() + ").";
  else
    Place(desktop, onDesktop ? &text : nullptr, CarriesMarker, kLauncherPermissions, problems);
  // A package's launcher is in the menu already.
  const bool inMenu =
      (choice.Locations & lbStartMenu) && !SystemProvides("applications/kestrel.desktop");
  changes.Applications =
      Place(MenuLauncher(), inMenu ? &text : nullptr, CarriesMarker, std::nullopt, problems);
  PlaceHandler(choice, changes, problems);
  Refresh(changes, problems);
  return problems;
}

QStringList TDesktopIntegration::ApplyFileTypes(const TDesktopChoice& choice) const {
  QStringList problems;
  TChanges changes;
  PlaceHandler(choice, changes, problems);
  Refresh(changes, problems);
  SetDefaults(DefaultTypes(choice.Extensions), problems);
  return problems;
}

QStringList TDesktopIntegration::Remove() const {
  QStringList problems;
  TChanges changes;
  Place(DesktopLauncher(), nullptr, CarriesMarker, std::nullopt, problems);
  changes.Applications = Place(MenuLauncher(), nullptr, CarriesMarker, std::nullopt, problems);
  changes.Applications |= Place(SendToEntry(), nullptr, CarriesMarker, std::nullopt, problems);
  changes.MimePackage = Place(MimePackage(), nullptr, PackageIsOurs, std::nullopt, problems);
  ResetDefaults(problems);
  Refresh(changes, problems);
  return problems;
}

void TDesktopIntegration::PlaceHandler(const TDesktopChoice& choice, TChanges& changes,
                                       QStringList& problems) const {
  const bool sendTo = choice.Locations & lbSendTo;
  const QStringList namingUs = TypesNamingUs();
  // A default must name an entry that is there, so the entry stays while any default names it;
  // without "Send To" it offers only the types it is the default for.
  const bool wanted = sendTo || choice.Extensions != 0 || !namingUs.isEmpty();
  QStringList types;
  const QStringList defaults = DefaultTypes(choice.Extensions);
  for (const QString& type : AllMimeTypes())
    if (sendTo || defaults.contains(type) || namingUs.contains(type)) types << type;
  const TDesktopEntry entry{Program, IconName(), types, false, true};
  const QByteArray text = entry.Text();
  const bool packaged = SystemProvides("applications/kestrel.desktop");
  changes.Applications |= Place(SendToEntry(), wanted && !packaged ? &text : nullptr, CarriesMarker,
                                std::nullopt, problems);
  const QByteArray package(kMimePackage);
  const bool ownPackage = wanted && !SystemProvides(kPackagePath);
  changes.MimePackage |=
      Place(MimePackage(), ownPackage ? &package : nullptr, PackageIsOurs, std::nullopt, problems);
}

void TDesktopIntegration::SetDefaults(const QStringList& types, QStringList& problems) const {
  if (types.isEmpty()) return;
  if (HasDesktopTool("xdg-mime")) {
    const QString problem = RunDesktopTool("xdg-mime", QStringList{"default", kEntryId} + types);
    if (!problem.isEmpty()) problems << problem;
    return;
  }
  QString problem;
  TMimeAppsList list(ReadMimeAppsList(&problem));
  if (problem.isEmpty()) {
    for (const QString& type : types)
      list.SetDefault(type, kEntryId);
    problem = WriteMimeAppsList(list.Text());
  }
  problems << (problem.isEmpty() ? "xdg-mime was not found: the default programs were written "
                                   "to " +
                                       MimeAppsListFile() + " directly."
                                 : problem);
}

void TDesktopIntegration::ResetDefaults(QStringList& problems) const {
  QString problem;
  const QByteArray before = ReadMimeAppsList(&problem);
  TMimeAppsList list(before);
  bool changed = false;
  for (const QString& type : AllMimeTypes())
    changed |= list.RemoveDefault(type, kEntryId);
  if (problem.isEmpty() && changed) problem = WriteMimeAppsList(list.Text());
  if (!problem.isEmpty()) problems << problem;
}

QStringList TDesktopIntegration::TypesNamingUs() {
  QString problem;
  const TMimeAppsList list(ReadMimeAppsList(&problem));
  QStringList types;
  for (const QString& type : AllMimeTypes())
    if (list.DefaultOf(type) == kEntryId) types << type;
  return types;
}

void TDesktopIntegration::Refresh(const TChanges& changes, QStringList& problems) {
  const QString mime = DataHome() + "/mime";
  if (changes.MimePackage) {
    // Made from no package, the database would describe nothing: it goes with the last package.
    if (QDir(mime + "/packages").isEmpty()) {
      RemoveMimeDatabase(mime);
    } else if (const QString problem = RunDesktopTool("update-mime-database", {mime});
               !problem.isEmpty()) {
      problems << problem;
    }
  }
  // The cache through which desktops find the launchers of a MIME type ("Open With"); with no
  // launcher left it would list nothing.
  if (changes.Applications) {
    if (!HoldsDesktopEntries(Applications())) {
      RemoveFile(Applications() + "/" + kEntryCache);
    } else if (HasDesktopTool("update-desktop-database")) {
      const QString problem = RunDesktopTool("update-desktop-database", {Applications()});
      if (!problem.isEmpty()) problems << problem;
    }
  }
  // Folders that were made for our files and hold nothing else any more.
  RemoveEmptyFolders(Applications(), DataHome());
  RemoveEmptyFolders(mime + "/packages", DataHome());
}

} // namespace kestrel
