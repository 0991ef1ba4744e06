#pragma once
// The installation record: the machine-wide key "Software\Brackwell\Kestrel\Ver " + the file
// version. Its presence means the program is installed.

#include <QString>

namespace kestrel {

// The program's file version, compiled in from the project version.
QString FileVersion();
QString InstallRecordKey();
bool IsInstalled();
// Writes the record, its default value an empty text.
void WriteInstallRecord();

} // namespace kestrel
