#include "platform/ui/PrintDialog.h"

#include "platform/ui/SaveDialog.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <utility>

namespace kestrel {

namespace {

TPrintDialogHandler& Handler() {
  static TPrintDialogHandler handler;
  return handler;
}

} // namespace

bool PrinterInstalled() {
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool ExecutePrintDialog(QPrinter& printer, const QString& proposedFile, QWidget* parent) {
  if (Handler()) return Handler()(printer);
  if (PrinterInstalled()) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }
  const QFileInfo proposed(proposedFile);
  TSaveDialogRequest request;
  request.Title = "Print to PDF File";
  request.Filter = "PDF Files|*.pdf";
  request.DefaultExt = "pdf";
  request.FileName = proposed.fileName();
  request.InitialDir = proposed.path();
  const TSaveDialogAnswer answer = ExecuteSaveDialog(request, parent);
  if (!answer.Accepted) return false;
  printer.setOutputFileName(answer.FileName);
  return true;
}

TPrintDialogHandler SetPrintDialogHandler(TPrintDialogHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

} // namespace kestrel
