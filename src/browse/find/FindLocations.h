#pragma once
// The find window's location list: "Local Hard Drives", then one item per mounted volume (its
// root, with the drive icon). A folder the user picks takes the place of its volume's item.

#include "browse/find/NameIcons.h"

#include <QListWidget>

namespace kestrel {

class TFindLocations : public QListWidget {
  Q_OBJECT
public:
  static constexpr const char* kLocalDrives = "Local Hard Drives";
  static constexpr int kItemHeight = 18;

  explicit TFindLocations(QWidget* parent = nullptr);

  // Fills the list, selecting the volume of folder.
  void Build(const QString& folder);
  bool Built() const { return count() > 0; }
  // folder replaces the item of its volume and becomes selected.
  void ChooseFolder(const QString& folder);
  bool LocalDrivesSelected() const { return currentRow() == 0; }
  void SelectLocalDrives() { setCurrentRow(0); }
  QString SelectedPath() const;
  // The folders a search walks: the selected one; for "Local Hard Drives" the root of every
  // fixed volume, and of every CD-ROM with cd (removable, network and RAM volumes never).
  QStringList Roots(bool cd) const;

private:
  int VolumeRow(const QString& folder) const;

  TNameIcons Icons;
};

} // namespace kestrel
