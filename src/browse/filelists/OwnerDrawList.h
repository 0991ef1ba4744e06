#pragma once
// What the folder list and the file list share: a list of TListItems, drawn by the list itself
// (brush fill, glyph drawn transparently and centred vertically, text at the list's own offsets),
// with an item height that follows the font, and click reports for selections made by the user.

#include "browse/filelists/ListItem.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyleOptionViewItem>

namespace kestrel {

class TListItemModel : public QAbstractListModel {
public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const std::vector<TListItem>& Items() const { return Lines; }
  void SetItems(std::vector<TListItem> items); // one reset: the view redraws once
  void Append(std::vector<TListItem> items);

private:
  std::vector<TListItem> Lines;
};

// Where a list draws one item.
struct TItemLayout {
  int GlyphLeft = 2;
  int TextLeft = 2;
  bool CentreText = false; // else top-aligned
};

// Paints one owner-drawn item: fills the rectangle with the brush (the highlight when selected),
// draws the glyph transparently, centred vertically, and the text ("&" is no prefix).
void DrawOwnerDrawnItem(QPainter* painter, const QStyleOptionViewItem& option, TGlyph glyph,
                        const QString& text, const TItemLayout& layout);

class TOwnerDrawList : public QListView {
  Q_OBJECT
public:
  explicit TOwnerDrawList(QWidget* parent = nullptr);

  int Count() const { return int(Model.Items().size()); }
  const TListItem& Item(int index) const { return Model.Items().at(size_t(index)); }
  // The item under the caret, -1 when there is none.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int ItemHeight() const { return Height; }
  // The layout of an item, for drawing.
  virtual TItemLayout LayoutOf(const TListItem& item) const = 0;

signals:
  // The user changed the selection (mouse or keyboard).
  void Click();
  void DblClick();

protected:
  // The least item height the list's glyphs need; the font's text height may raise it.
  virtual int GlyphHeight() const = 0;
  void RecomputeItemHeight();
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

  TListItemModel Model;

private:
  template <class Handler> void AsUserInput(Handler&& handler);

  int Height = 16;
  bool InUserInput = false;
  bool SelectionTouched = false;
};

} // namespace kestrel
