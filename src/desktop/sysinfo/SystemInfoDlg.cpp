#include "desktop/sysinfo/SystemInfoDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrel {

TSystemInfoDlg::TSystemInfoDlg(QWidget* parent, TSource source)
    : QDialog(parent), Source(std::move(source)) {
  setObjectName("SystemInfo");
  setWindowTitle("System Information");
  setModal(true);

  auto* screen = new QGroupBox("Display", this);
  auto* screenLayout = new QFormLayout(screen);
  Display = new QLabel(screen);
  screenLayout->addRow("Screen:", Display);

  auto* memory = new QGroupBox("Memory", this);
  auto* memoryLayout = new QFormLayout(memory);
  Physical = new QLabel(memory);
  Available = new QLabel(memory);
  memoryLayout->addRow("Physical:", Physical);
  memoryLayout->addRow("Available:", Available);

  auto* drives = new QGroupBox("Drives", this);
  auto* drivesLayout = new QVBoxLayout(drives);
  Drives = new QTreeWidget(drives);
  Drives->setRootIsDecorated(false);
  Drives->setHeaderLabels({"Drive", "Size", "Free"});
  Drives->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  // Long mount paths keep both ends in sight; the whole path is the row's tip.
  Drives->setTextElideMode(Qt::ElideMiddle);
  drivesLayout->addWidget(Drives);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(screen);
  layout->addWidget(memory);
  layout->addWidget(drives, 1);
  layout->addWidget(buttons);
  resize(420, 360);
}

void TSystemInfoDlg::showEvent(QShowEvent* event) {
  Refresh();
  QDialog::showEvent(event);
}

void TSystemInfoDlg::Refresh() {
  const TSystemFigures figures = Source();
  Display->setText(QString("%1 x %2, %3 bits per pixel")
                       .arg(figures.ScreenWidth)
                       .arg(figures.ScreenHeight)
                       .arg(figures.ScreenDepth));
  Physical->setText(ByteText(figures.Memory.Physical));
  Available->setText(ByteText(figures.Memory.Available));
  Drives->clear();
  for (const TVolumeFigures& volume : figures.Volumes) {
    const QString name =
        volume.Label.isEmpty() ? volume.Root : volume.Root + " [" + volume.Label + "]";
    auto* row = new QTreeWidgetItem(Drives, {name, ByteText(volume.Size), ByteText(volume.Free)});
    row->setToolTip(0, name);
    for (int column : {1, 2})
      row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  }
}

} // namespace kestrel
