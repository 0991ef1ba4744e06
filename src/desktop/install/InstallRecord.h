#pragma once
// The records of an installation in the settings store, under the machine-wide root: the
// installation record "Software\Brackwell\Kestrel\Ver " + the file version (its presence means
// the program is installed), the "App Paths" entry and the "Uninstall\Kestrel" entry.

#include <QString>
#include <QStringList>

namespace kestrel {

// The program's file version, compiled in from the project version.
QString FileVersion();
QString InstallRecordKey();
bool IsInstalled();
// Writes the record, its default value an empty text.
void WriteInstallRecord();
// "Kestrel! Version " + the version cut after its first "." and one more character.
QString DisplayName(const QString& version);
// Marks the program installed: the record, the "App Paths" entry of program's file name and the
// "Uninstall\Kestrel" entry. Returns the failures, each a message of its own.
QStringList WriteProgramRecords(const QString& program);
// Deletes the "App Paths" and "Uninstall\Kestrel" entries, then every Kestrel key of the user
// and of the machine. Returns the failures, each a message of its own.
QStringList RemoveProgramRecords(const QString& program);

} // namespace kestrel
