#pragma once
// The save dialog: a file name to write, chosen with a filter of the form
// "description|patterns|description|patterns" (patterns separated by ";"), a 1-based filter
// index, a default extension and an initial folder. It asks before overwriting an existing file
// unless told not to.
//
// Qt's dialog reads a filter's patterns from the last parentheses of its text, so each entry is
// shown as its description with the patterns added in Qt's form and the added part hidden. A
// filter index past the list selects the last entry. Choosing an entry makes its first extension
// the default one, which a typed name without an extension gets.
//
// Without a screen (automated runs) a handler set by SetSaveDialogHandler answers instead.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace kestrel {

struct TSaveDialogRequest {
  QString Title;
  QString Filter;
  int FilterIndex = 1;
  QString DefaultExt; // without the dot
  QString FileName;   // proposed, without folder
  QString InitialDir;
  bool ConfirmOverwrite = true; // ask before a chosen name that exists is accepted
  QString AcceptLabel;          // the accept button's text; empty: "Save"
};

struct TSaveDialogAnswer {
  bool Accepted = false;
  QString FileName; // the full path chosen
  int FilterIndex = 1;
};

TSaveDialogAnswer ExecuteSaveDialog(const TSaveDialogRequest& request, QWidget* parent = nullptr);

// The entries of a filter as Qt name filters: "Description (*.a *.b)" kept apart from the
// description's own text.
QStringList QtNameFilters(const QString& filter);

// Replaces the dialog by a handler (tests answer it); an empty handler restores the dialog.
// Returns the handler it replaced.
using TSaveDialogHandler = std::function<TSaveDialogAnswer(const TSaveDialogRequest&)>;
TSaveDialogHandler SetSaveDialogHandler(TSaveDialogHandler handler);

} // namespace kestrel
