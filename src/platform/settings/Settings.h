#pragma once
// The four store operations every window uses. Sections are sub-keys of the user's
// "Software\Brackwell\Kestrel\" key; a value is an integer or a text, yes/no values are the texts
// "TRUE" and "FALSE", and the first read of a missing value stores its default.

#include "platform/settings/NewRegistry.h"

#include <QString>

#include <utility>
#include <variant>
#include <vector>

namespace kestrel {

using TSettingValue = std::variant<int, QString>;

// "Software\Brackwell\Kestrel\" + section.
QString SectionPath(const QString& section);

// value holds the default on entry and the stored value on return; a missing value is stored with
// the default. A stored value of the other kind is reported (TRegistryFile::Report) and the
// default kept. Returns whether the section's key could be opened.
bool ReadSetting(const QString& section, const QString& name, TSettingValue& value);
void WriteSetting(const QString& section, const QString& name, const TSettingValue& value);
// The stored value when there is one, without storing the default when there is not (a window
// that may be cancelled reads this way, so cancelling leaves the store as it was). Whether a value
// was stored; raises ENewReg when it is of the other kind.
bool PeekSetting(const QString& section, const QString& name, TSettingValue& value);
// Removes the section with its values; a missing section is no error.
void DeleteSection(const QString& section);
// DeleteSection, then WriteSetting of each value in order, as one replace of the file: another
// running copy never sees the section half written, and an unchanged section is not written.
void ReplaceSection(const QString& section,
                    const std::vector<std::pair<QString, TSettingValue>>& values);
// The section's key information (the recent-folders list uses the number of values); all zero
// when the section cannot be opened.
TRegKeyInfo ListSection(const QString& section);

// While one lives, changes of the user's settings are written together when it ends (see
// TRegistryFile::TBatch): the start and the close of the main window each write the file once.
class TSettingsBatch {
public:
  TSettingsBatch() : Batch(TRegistryFile()) {}

private:
  TRegistryFile::TBatch Batch;
};

// Where a setting lives, declared once beside the window that owns it.
struct TSettingKey {
  const char* Section;
  const char* Name;
};

QString ReadSetting(const TSettingKey& key, const QString& defaultText);
int ReadSetting(const TSettingKey& key, int defaultValue);
// A yes/no setting: on only when the stored text is exactly "TRUE".
bool ReadFlag(const TSettingKey& key, bool defaultOn);
QString PeekSetting(const TSettingKey& key, const QString& defaultText);
int PeekSetting(const TSettingKey& key, int defaultValue);
bool PeekFlag(const TSettingKey& key, bool defaultOn);
void WriteSetting(const TSettingKey& key, const TSettingValue& value);
void WriteFlag(const TSettingKey& key, bool on);
inline QString FlagText(bool on) {
  return on ? "TRUE" : "FALSE";
}

} // namespace kestrel
