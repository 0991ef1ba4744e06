#include "browse/filelists/ListItem.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

QStringList Sorted(const QStringList& texts) {
  std::vector<TListItem> items;
  for (const QString& text : texts)
    items.push_back({text, text});
  SortItems(items);
  QStringList result;
  for (const TListItem& item : items)
    result << item.Text;
  return result;
}

TEST(SortItems, OrdersWithoutRegardToCase) {
  EXPECT_EQ(Sorted({"b.jpg", "A.JPG", "a.jpeg", "B.GIF"}),
            QStringList({"a.jpeg", "A.JPG", "B.GIF", "b.jpg"}));
  // A shared prefix longer than the eight bytes the sort looks at first, and keys that end early.
  EXPECT_EQ(
      Sorted({"IMG_20240101_0002.jpg", "img_20240101_0001.JPG", "IMG_2024", "img_20240101"}),
      QStringList({"IMG_2024", "img_20240101", "img_20240101_0001.JPG", "IMG_20240101_0002.jpg"}));
  // Letters beyond ASCII fold too, and sort after plain ones.
  EXPECT_EQ(
      Sorted({QString::fromUtf8("\xc3\x84pfel"), "zebra", QString::fromUtf8("\xc3\xa4rger")}),
      QStringList({"zebra", QString::fromUtf8("\xc3\x84pfel"), QString::fromUtf8("\xc3\xa4rger")}));
  // Equal but for case: a stable, definite order.
  EXPECT_EQ(Sorted({"abc", "ABC", "Abc"}), QStringList({"ABC", "Abc", "abc"}));
  EXPECT_EQ(Sorted({}), QStringList());
}

TEST(SortItems, AgreesWithACaseInsensitiveCompareOnManyNames) {
  QStringList names;
  for (int i = 0; i < 500; ++i)
    names << QString("%1photo_%2.%3")
                 .arg(i % 3 ? "P" : "p")
                 .arg((i * 7919) % 1000)
                 .arg(i % 2 ? "JPG" : "png");
  QStringList expected = names;
  std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
  });
  EXPECT_EQ(Sorted(names), expected);
}

} // namespace
} // namespace kestrel
