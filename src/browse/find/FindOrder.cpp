#include "browse/find/FindOrder.h"

#include <algorithm>

namespace kestrel {

int CompareHits(const TFindHit& a, const TFindHit& b, TFindColumn column) {
  switch (column) {
  case TFindColumn::File:
    return a.Name.compare(b.Name);
  case TFindColumn::Location:
    return a.Folder.compare(b.Folder);
  case TFindColumn::Size:
    return a.Size < b.Size ? -1 : a.Size > b.Size ? 1 : 0;
  }
  return 0;
}

void SortHits(std::vector<TFindHit>& hits, TFindColumn column, bool descending) {
  std::stable_sort(hits.begin(), hits.end(), [&](const TFindHit& a, const TFindHit& b) {
    const int order = CompareHits(a, b, column);
    return descending ? order > 0 : order < 0;
  });
}

std::vector<TFindHit> Duplicates(std::vector<TFindHit> hits, TFindColumn column) {
  std::sort(hits.begin(), hits.end(), [column](const TFindHit& a, const TFindHit& b) {
    for (const TFindColumn key : {column, TFindColumn::Location, TFindColumn::File})
      if (const int order = CompareHits(a, b, key); order != 0) return order < 0;
    return false;
  });
  std::vector<TFindHit> shared;
  for (size_t first = 0, end = 0; first < hits.size(); first = end) {
    end = first + 1;
    while (end < hits.size() && CompareHits(hits[first], hits[end], column) == 0)
      ++end;
    if (end - first > 1)
      std::move(hits.begin() + std::ptrdiff_t(first), hits.begin() + std::ptrdiff_t(end),
                std::back_inserter(shared));
  }
  return shared;
}

} // namespace kestrel
