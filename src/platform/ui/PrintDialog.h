#pragma once
// The platform's printers: whether one is installed, and the print dialog in which the user picks
// the printer, paper and orientation. With no printer installed, printing goes to a PDF file,
// and the dialog is a save dialog in which the user names that file.
//
// Without a screen (automated runs) a handler set by SetPrintDialogHandler answers instead.

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace kestrel {

bool PrinterInstalled();

// Shows the dialog for printer; true when the user accepted (the printer then holds the choices,
// a PDF file's name included). proposedFile: the file a PDF is proposed to go to.
bool ExecutePrintDialog(QPrinter& printer, const QString& proposedFile, QWidget* parent = nullptr);

// Replaces the dialog by a handler (tests answer it and may change the printer as a user
// would); an empty handler restores the dialog. Returns the handler it replaced.
using TPrintDialogHandler = std::function<bool(QPrinter& printer)>;
TPrintDialogHandler SetPrintDialogHandler(TPrintDialogHandler handler);

} // namespace kestrel
