#include "app/main/Installation.h"

#include "platform/settings/NewRegistry.h"

namespace kestrel {

QString FileVersion() {
  return KESTREL_VERSION;
}

QString InstallRecordKey() {
  return "Software\\Brackwell\\Kestrel\\Ver " + FileVersion();
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

} // namespace kestrel
