#include "platform/ui/SaveDialog.h"

#include <QDir>
#include <QFileDialog>

#include <algorithm>
#include <utility>

namespace kestrel {
namespace {

TSaveDialogHandler& Handler() {
  static TSaveDialogHandler handler;
  return handler;
}

struct TFilterEntry {
  QString Description;
  QStringList Patterns;
};

QList<TFilterEntry> FilterEntries(const QString& filter) {
  const QStringList parts = filter.split('|');
  QList<TFilterEntry> entries;
  for (int i = 0; i + 1 < parts.size(); i += 2)
    entries.append({parts[i], parts[i + 1].split(';', Qt::SkipEmptyParts)});
  return entries;
}

// The entry a name filter of the dialog stands for: Qt gives it in full, or as the list shows it
// with its details hidden (the description, spaces simplified); -1 when none.
qsizetype EntryOfNameFilter(const QList<TFilterEntry>& entries, const QStringList& filters,
                            const QString& shown) {
  const qsizetype full = filters.indexOf(shown);
  if (full >= 0) return full;
  for (qsizetype i = 0; i < entries.size(); ++i)
    if (entries[i].Description.simplified() == shown.simplified()) return i;
  return -1;
}

// The extension of an entry's first pattern ("*.jpg" gives "jpg"), or none for "*.*".
QString FirstExtension(const TFilterEntry& entry) {
  const QString first = entry.Patterns.value(0);
  if (!first.startsWith("*.") || first.indexOf('*', 1) >= 0) return {};
  return first.mid(2);
}

} // namespace

QStringList QtNameFilters(const QString& filter) {
  QStringList filters;
  for (const TFilterEntry& entry : FilterEntries(filter))
    filters << entry.Description + " (" + entry.Patterns.join(' ') + ")";
  return filters;
}

TSaveDialogAnswer ExecuteSaveDialog(const TSaveDialogRequest& request, QWidget* parent) {
  if (Handler()) return Handler()(request);
  const QList<TFilterEntry> entries = FilterEntries(request.Filter);
  const QStringList filters = QtNameFilters(request.Filter);
  QFileDialog dialog(parent, request.Title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty())
    dialog.selectNameFilter(filters[std::clamp(request.FilterIndex, 1, int(filters.size())) - 1]);
  dialog.setDefaultSuffix(request.DefaultExt);
  if (!request.AcceptLabel.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.AcceptLabel);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& selected) {
    const qsizetype index = EntryOfNameFilter(entries, filters, selected);
    if (index < 0) return;
    const QString extension = FirstExtension(entries[index]);
    if (!extension.isEmpty()) dialog.setDefaultSuffix(extension);
  });
  if (!request.InitialDir.isEmpty()) dialog.setDirectory(request.InitialDir);
  dialog.selectFile(request.FileName);
  TSaveDialogAnswer answer;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return answer;
  answer.Accepted = true;
  answer.FileName = QDir::cleanPath(dialog.selectedFiles().first());
  answer.FilterIndex =
      static_cast<int>(EntryOfNameFilter(entries, filters, dialog.selectedNameFilter())) + 1;
  return answer;
}

TSaveDialogHandler SetSaveDialogHandler(TSaveDialogHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

} // namespace kestrel
