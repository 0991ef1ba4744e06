#pragma once
// The rows of the find window: "File" (the name, with its icon), "Where Located" (the folder
// holding it) and "Size" (the size text), in the order found until a column is sorted.

#include "browse/find/FindOrder.h"
#include "browse/find/NameIcons.h"

#include <QAbstractTableModel>

#include <vector>

namespace kestrel {

class TFindResults : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit TFindResults(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Append(const std::vector<TFindHit>& hits);
  void Clear();
  const TFindHit& Hit(int row) const { return Hits[size_t(row)]; }
  // The row's full path, and the folder holding it, as the program's file names.
  QString Path(int row) const;
  QString Folder(int row) const;
  // Sorts the rows; a selection follows its rows.
  void Sort(TFindColumn column, bool descending);
  void RemoveRows(std::vector<int> rows);
  // The row's file now lives in folder.
  void SetFolder(int row, const QString& folder);

private:
  std::vector<TFindHit> Hits;
  mutable TNameIcons Icons;
};

} // namespace kestrel
