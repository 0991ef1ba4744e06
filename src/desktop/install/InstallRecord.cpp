#include "desktop/install/InstallRecord.h"

#include "platform/settings/NewRegistry.h"

#include <QFileInfo>

namespace kestrel {
namespace {

const char kKestrelKey[] = "Software\\Brackwell\\Kestrel";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel";

QString AppPathsKey(const QString& program) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" +
         QFileInfo(program).fileName();
}

// Writes the text values of one machine-wide key, reporting each failure as the installation
// does and going on.
void WriteKey(const QString& key, const QList<std::pair<QString, QString>>& values,
              QStringList& failures) {
  TNewRegistry registry;
  try {
    registry.OpenKey(key);
  } catch (const ENewReg&) {
    failures << "Failed to Create/Open key " + key;
    return;
  }
  for (const auto& [name, data] : values) {
    try {
      registry.WriteString(name, data);
    } catch (const ENewReg&) {
      failures << "Failed to set value:" + name + " " + data;
    }
  }
  try {
    registry.CloseKey();
  } catch (const ENewReg&) {
    failures << "Failed to Close  key " + key;
  }
}

// Deletes a key that is there; a missing key is no failure.
void DeleteKey(TRootKey root, const QString& key, QStringList& failures) {
  TNewRegistry registry;
  registry.RootKey = root;
  if (!registry.KeyExists(key)) return;
  try {
    registry.DeleteKey(key);
  } catch (const ENewReg&) {
    failures << "Failed to Delete key " + key;
  }
}

// The key itself; when that fails (it has sub-keys), each direct sub-key, then the key again.
void DeleteTree(TRootKey root, const QString& key, QStringList& failures) {
  TNewRegistry registry;
  registry.RootKey = root;
  try {
    registry.DeleteKey(key);
    return;
  } catch (const ENewReg&) {
  }
  if (!registry.KeyExists(key)) return;
  const QString rootName =
      root == TRootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
  registry.OpenKey(key);
  for (const QString& sub : registry.GetKeyNames()) {
    try {
      registry.DeleteKey(key + "\\" + sub);
    } catch (const ENewReg&) {
      failures << "Failed to delete key:\r\r" + rootName + "\\" + key + "\\" + sub;
    }
  }
  registry.CloseKey();
  try {
    registry.DeleteKey(key);
  } catch (const ENewReg&) {
    failures << "Failed to delete key:\r\r" + rootName + "\\" + key;
  }
}

} // namespace

QString FileVersion() {
  return KESTREL_VERSION;
}

QString InstallRecordKey() {
  return QString(kKestrelKey) + "\\Ver " + FileVersion();
}

bool IsInstalled() {
  return TNewRegistry().KeyExistsUnder(TRootKey::LocalMachine, InstallRecordKey());
}

void WriteInstallRecord() {
  TNewRegistry registry; // machine-wide root
  registry.OpenKey(InstallRecordKey());
  registry.WriteString("", "");
  registry.CloseKey();
}

QString DisplayName(const QString& version) {
  const qsizetype dot = version.indexOf('.');
  return "Kestrel! Version " + (dot < 0 ? version : version.left(dot + 2));
}

QStringList WriteProgramRecords(const QString& program) {
  QStringList failures;
  WriteKey(InstallRecordKey(), {{"", ""}}, failures);
  WriteKey(AppPathsKey(program), {{"", program}}, failures);
  WriteKey(kUninstallKey,
           {{"DisplayName", DisplayName(FileVersion())}, {"UninstallString", program + " /Remove"}},
           failures);
  return failures;
}

QStringList RemoveProgramRecords(const QString& program) {
  QStringList failures;
  DeleteKey(TRootKey::LocalMachine, AppPathsKey(program), failures);
  DeleteKey(TRootKey::LocalMachine, kUninstallKey, failures);
  DeleteTree(TRootKey::CurrentUser, kKestrelKey, failures);
  DeleteTree(TRootKey::LocalMachine, kKestrelKey, failures);
  return failures;
}

} // namespace kestrel
