#pragma once
// The orders of the find window's columns, and the duplicates among hits: the same list sorted
// by name or by size, kept to the hits that share it with another.

#include "browse/find/FindCriteria.h"

#include <vector>

namespace kestrel {

enum class TFindColumn { File = 0, Location = 1, Size = 2 };

// Names and locations compare as plain case-sensitive strings, sizes by their byte counts.
// Negative, zero or positive as a comes before, with or after b.
int CompareHits(const TFindHit& a, const TFindHit& b, TFindColumn column);

// A stable sort: rows the column does not tell apart keep their order.
void SortHits(std::vector<TFindHit>& hits, TFindColumn column, bool descending);

// The hits whose name (File) or size (Size) another hit shares, sorted by that column and, within
// a group, by location and name.
std::vector<TFindHit> Duplicates(std::vector<TFindHit> hits, TFindColumn column);

} // namespace kestrel
