#include "browse/find/FindResults.h"

#include "platform/text/SizeText.h"

#include <QFile>

#include <algorithm>
#include <numeric>

namespace kestrel {
namespace {

QString Decoded(const std::string& raw) {
  return QFile::decodeName(QByteArray(raw.data(), qsizetype(raw.size())));
}

} // namespace

TFindResults::TFindResults(QObject* parent) : QAbstractTableModel(parent) {}

int TFindResults::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(Hits.size());
}

int TFindResults::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant TFindResults::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TFindHit& hit = Hit(index.row());
  const auto column = TFindColumn(index.column());
  if (role == Qt::DisplayRole) {
    switch (column) {
    case TFindColumn::File:
      return Decoded(hit.Name);
    case TFindColumn::Location:
      return Decoded(hit.Folder);
    case TFindColumn::Size:
      return SizeText(0, hit.Size);
    }
  }
  if (role == Qt::DecorationRole && column == TFindColumn::File)
    return hit.IsFolder ? Icons.Folder() : Icons.File(Decoded(hit.Name));
  if (role == Qt::TextAlignmentRole && column == TFindColumn::Size)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TFindResults::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kHeaders[] = {"File", "Where Located", "Size"};
  return section >= 0 && section < 3 ? QString(kHeaders[section]) : QVariant();
}

void TFindResults::Append(const std::vector<TFindHit>& hits) {
  if (hits.empty()) return;
  beginInsertRows({}, rowCount(), rowCount() + int(hits.size()) - 1);
  Hits.insert(Hits.end(), hits.begin(), hits.end());
  endInsertRows();
}

void TFindResults::Clear() {
  beginResetModel();
  Hits.clear();
  endResetModel();
}

QString TFindResults::Path(int row) const {
  return Decoded(Hit(row).Path());
}

QString TFindResults::Folder(int row) const {
  return Decoded(Hit(row).Folder);
}

void TFindResults::Sort(TFindColumn column, bool descending) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(Hits.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int compared = CompareHits(Hit(a), Hit(b), column);
    return descending ? compared > 0 : compared < 0;
  });
  std::vector<TFindHit> sorted;
  sorted.reserve(Hits.size());
  std::vector<int> newRow(Hits.size());
  for (size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(std::move(Hits[size_t(order[i])]));
    newRow[size_t(order[i])] = int(i);
  }
  Hits = std::move(sorted);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  for (const QModelIndex& index : before)
    after << createIndex(newRow[size_t(index.row())], index.column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TFindResults::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (const int row : rows) {
    beginRemoveRows({}, row, row);
    Hits.erase(Hits.begin() + row);
    endRemoveRows();
  }
}

void TFindResults::SetFolder(int row, const QString& folder) {
  Hits[size_t(row)].Folder = QFile::encodeName(folder).toStdString();
  emit dataChanged(index(row, 0), index(row, 2));
}

} // namespace kestrel
