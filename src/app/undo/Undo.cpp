#include "app/undo/Undo.h"

#include "app/undo/UndoStore.h"
#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"

#include <QAction>

namespace kestrel {
namespace {

const char kCaption[] = "Kestrel!: Undo";

} // namespace

TUndo::TUndo(std::unique_ptr<TUndoStore> store, QAction* item, QWidget* parent)
    : store_(std::move(store)), item_(item), parent_(parent) {
  if (item_) item_->setEnabled(false);
}

TUndo::~TUndo() = default;

void TUndo::Snapshot(const QString& name, const TBitmap* shown) {
  if (!shown || shown->Empty() || shown->Width() <= 0 || shown->Height() <= 0) return;
  if (!store_) {
    SetAvailable(false);
    Tell("Undo is not available: no undo file could be made.");
    return;
  }
  try {
    store_->Write(*shown);
  } catch (const std::exception& error) {
    SetAvailable(false);
    Tell("Undo is not available: " + QString::fromStdString(error.what()));
    return;
  }
  SetAvailable(true, name);
}

bool TUndo::Restore(TBitmap& shown) {
  if (!available_ || !store_) return false;
  SetAvailable(false);
  std::unique_ptr<TBitmap> snapshot;
  try {
    snapshot = store_->Read();
  } catch (const std::exception& error) {
    ShowMessage("The undo copy cannot be read: " + QString::fromStdString(error.what()), kCaption,
                TMsgIcon::Error, parent_);
    return false;
  }
  shown.Assign(snapshot.get());
  return true;
}

QString TUndo::FileName() const {
  return store_ ? store_->FileName() : QString();
}

void TUndo::Close() {
  if (store_) store_->Remove();
  SetAvailable(false);
}

void TUndo::SetAvailable(bool available, const QString& name) {
  available_ = available;
  if (!item_) return;
  item_->setEnabled(available);
  item_->setText(available ? "Undo: " + name : "Undo");
}

void TUndo::Tell(const QString& text) {
  if (told_) return;
  told_ = true;
  ShowMessage(text, kCaption, TMsgIcon::Warning, parent_);
}

} // namespace kestrel
