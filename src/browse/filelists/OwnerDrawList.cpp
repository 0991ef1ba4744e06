#include "browse/filelists/OwnerDrawList.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kestrel {
namespace {

class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
  explicit TOwnerDrawDelegate(TOwnerDrawList* list) : QStyledItemDelegate(list), List(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const TListItem& item = List->Item(index.row());
    const TItemLayout layout = List->LayoutOf(item);
    DrawOwnerDrawnItem(painter, option, item.Glyph, item.Text, layout);
    if ((option.state & QStyle::State_HasFocus) && List->hasFocus()) {
      painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), List->ItemHeight()};
  }

private:
  TOwnerDrawList* List;
};

} // namespace

void DrawOwnerDrawnItem(QPainter* painter, const QStyleOptionViewItem& option, TGlyph glyph,
                        const QString& text, const TItemLayout& layout) {
  const bool selected = option.state & QStyle::State_Selected;
  const QRect rect = option.rect;
  painter->fillRect(rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
  const QPixmap& pixmap = GlyphPixmap(glyph);
  if (!pixmap.isNull()) {
    painter->drawPixmap(rect.left() + layout.GlyphLeft,
                        rect.top() + (rect.height() - pixmap.height()) / 2, pixmap);
  }
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const QRect textRect(rect.left() + layout.TextLeft, rect.top(), rect.width() - layout.TextLeft,
                       rect.height());
  painter->drawText(textRect,
                    Qt::TextSingleLine | Qt::AlignLeft |
                        (layout.CentreText ? Qt::AlignVCenter : Qt::AlignTop),
                    text);
}

int TListItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(Lines.size());
}

QVariant TListItemModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= Lines.size()) return {};
  return Lines[size_t(index.row())].Text;
}

void TListItemModel::SetItems(std::vector<TListItem> items) {
  beginResetModel();
  Lines = std::move(items);
  endResetModel();
}

void TListItemModel::Append(std::vector<TListItem> items) {
  if (items.empty()) return;
  const int first = int(Lines.size());
  beginInsertRows({}, first, first + int(items.size()) - 1);
  for (TListItem& item : items)
    Lines.push_back(std::move(item));
  endInsertRows();
}

TOwnerDrawList::TOwnerDrawList(QWidget* parent) : QListView(parent), Model(this) {
  setModel(&Model);
  setItemDelegate(new TOwnerDrawDelegate(this));
  setUniformItemSizes(true);
  setEditTriggers(NoEditTriggers);
  auto touched = [this] {
    if (InUserInput) SelectionTouched = true;
  };
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, touched);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, touched);
}

int TOwnerDrawList::ItemIndex() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void TOwnerDrawList::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    selectionModel()->clear();
    return;
  }
  setCurrentIndex(Model.index(index));
}

bool TOwnerDrawList::Selected(int index) const {
  return selectionModel()->isRowSelected(index, {});
}

void TOwnerDrawList::SetSelected(int index, bool selected) {
  if (index < 0 || index >= Count()) return;
  selectionModel()->select(Model.index(index),
                           selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void TOwnerDrawList::RecomputeItemHeight() {
  Height = std::max(fontMetrics().height(), GlyphHeight());
  doItemsLayout();
}

void TOwnerDrawList::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) RecomputeItemHeight();
  QListView::changeEvent(event);
}

template <class Handler> void TOwnerDrawList::AsUserInput(Handler&& handler) {
  SelectionTouched = false;
  InUserInput = true;
  handler();
  InUserInput = false;
  if (SelectionTouched) emit Click();
}

void TOwnerDrawList::mousePressEvent(QMouseEvent* event) {
  AsUserInput([&] { QListView::mousePressEvent(event); });
}

void TOwnerDrawList::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (indexAt(event->position().toPoint()).isValid()) emit DblClick();
}

void TOwnerDrawList::keyPressEvent(QKeyEvent* event) {
  AsUserInput([&] { QListView::keyPressEvent(event); });
}

} // namespace kestrel
