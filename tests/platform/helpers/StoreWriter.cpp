// kestrel_store_writer PREFIX COUNT: writes COUNT values "PREFIX<n>" = n into the "Race" section of
// the store the environment names, each as a read-modify-write of the whole file, as a running
// copy does. Exits 1 when a write raises.

#include "platform/settings/Settings.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const QString prefix = argv[1];
  const int count = std::atoi(argv[2]);
  try {
    for (int n = 0; n < count; ++n) {
      kestrel::TSettingValue value = -1;
      kestrel::ReadSetting("Race", prefix + QString::number(n), value); // stores the default
      kestrel::WriteSetting("Race", prefix + QString::number(n), n);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
