#pragma once
// The "System Information" window: the screen's size and colour depth, the physical and available
// memory, and the size and free space of each mounted volume. It is modal, and takes its figures
// afresh each time it opens.

#include "desktop/sysinfo/SystemFigures.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTreeWidget;

namespace kestrel {

class TSystemInfoDlg : public QDialog {
  Q_OBJECT
public:
  using TSource = std::function<TSystemFigures()>;
  // source gives the figures each time the window opens; the system's own by default.
  explicit TSystemInfoDlg(QWidget* parent = nullptr, TSource source = &TSystemFigures::Now);

  // Takes the figures again and shows them.
  void Refresh();

  QLabel* Display = nullptr;
  QLabel* Physical = nullptr;
  QLabel* Available = nullptr;
  QTreeWidget* Drives = nullptr; // one row per volume: root (and label), size, free

protected:
  void showEvent(QShowEvent* event) override;

private:
  TSource Source;
};

} // namespace kestrel
