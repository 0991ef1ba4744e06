#pragma once
// The drive box: one item per mounted volume, with its glyph, linked to a folder list.

#include "platform/volumes/Volumes.h"

#include <QComboBox>
#include <QPointer>

#include <functional>

namespace kestrel {

class TDListBox;

enum TTextCase { tcLowerCase, tcUpperCase };

class TDCombobox : public QComboBox {
  Q_OBJECT
public:
  explicit TDCombobox(QWidget* parent = nullptr);

  TDListBox* DirList() const;
  // Links the folder list (and makes it point back here); a previous list loses its back link.
  void SetDirList(TDListBox* list);
  TTextCase TextCase() const { return Case; }
  void SetTextCase(TTextCase textCase);

  // The root of the chosen volume; empty when none is chosen.
  QString Drive() const { return CurrentDrive; }
  // Chooses the volume with this root, tells the folder list, then reports a change. Nothing
  // happens when it is chosen already; an empty root clears the choice.
  void SetDrive(const QString& root);
  // Lists the volumes again, keeping the choice while its volume is still there.
  void BuildList();
  const QList<TVolume>& Volumes() const { return Listed; }

  // Where the volumes come from (the mounted volumes by default).
  using TVolumeSource = std::function<QList<TVolume>()>;
  void SetVolumeSource(TVolumeSource source);

  // "root [label]", the root alone for a removable volume, or "root connection" for a network one;
  // the label's case follows textCase.
  static QString ItemText(const TVolume& volume, TTextCase textCase);
  int ItemHeight() const;

signals:
  void Change();

protected:
  void showPopup() override;
  void changeEvent(QEvent* event) override;

private:
  int IndexOfRoot(const QString& root) const;
  void UserChoice(int index);
  void SelectQuietly(int index);

  QPointer<TDListBox> Dirs;
  QString CurrentDrive;
  TTextCase Case = tcLowerCase;
  TVolumeSource Source;
  QList<TVolume> Listed;
};

} // namespace kestrel
