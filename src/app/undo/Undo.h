#pragma once
// TUndo: the one level of undo of the shown picture, and the "&Undo" item that offers it.
//
// A command that is about to change or replace the shown picture takes a snapshot first,
// naming itself ("Resample", "Arbitrary Rotation"); the item then reads "Undo: " and that name.
// Undo puts the snapshot back and the item reads "Undo" again, disabled. There is one snapshot:
// the next replaces it. It lives in the per-process undo file (UndoStore.h), so it costs no
// memory while it waits.
//
// The main window decides whether a snapshot is due (only an edited picture is kept, so browsing
// costs no disk writes): other windows call TKestrelMain::Snapshot(name), not this class.

#include <QString>

#include <memory>

class QAction;
class QWidget;

namespace kestrel {

class TBitmap;
class TUndoStore;

class TUndo {
public:
  // store: null when no undo file could be made, which leaves Undo disabled; item: the "&Undo"
  // action, captioned and enabled from here; parent: of the one message a failing store gives.
  TUndo(std::unique_ptr<TUndoStore> store, QAction* item, QWidget* parent);
  ~TUndo();
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;

  // Keeps shown as the snapshot named name. A null or empty bitmap is not kept. A snapshot that
  // cannot be written (no undo file, a full disk) leaves Undo disabled; the first such failure of
  // the run is told, later ones are not, and the picture is never touched either way.
  void Snapshot(const QString& name, const TBitmap* shown);
  // Puts the snapshot back into shown. The snapshot is read whole into a bitmap of its own first,
  // so a file that cannot be read leaves shown as it was. Returns whether shown changed; Undo is
  // disabled afterwards either way.
  bool Restore(TBitmap& shown);

  bool Available() const { return available_; }
  // The undo file; empty when there is none.
  QString FileName() const;
  // Deletes the undo file (at exit).
  void Close();

private:
  void SetAvailable(bool available, const QString& name = QString());
  void Tell(const QString& text);

  std::unique_ptr<TUndoStore> store_;
  QAction* item_;
  QWidget* parent_;
  bool available_ = false;
  bool told_ = false;
};

} // namespace kestrel
