#include "app/gallery/ThumbView.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kestrel {
namespace {

QColor QtColor(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The caption font: smaller for smaller tiles, and a point less on dense screens.
QFont CaptionFont(int size, int dotsPerInch) {
  int points = size <= 44 ? 4 : size <= 60 ? 5 : size <= 72 ? 6 : size <= 88 ? 7 : 8;
  if (dotsPerInch > 100) --points;
  QFont font("Small Fonts");
  font.setPointSize(points);
  return font;
}

} // namespace

TThumbView::TThumbView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  Reset(size_);
}

void TThumbView::Reset(int size) {
  tiles_.clear();
  size_ = size;
  selected_ = pressed_ = -1;
  viewport()->setFont(CaptionFont(size, logicalDpiY()));
  cellHeight_ = size_ + 20 + QFontMetrics(viewport()->font()).height();
  horizontalScrollBar()->setSingleStep(size_ + 22);
  verticalScrollBar()->setSingleStep(cellHeight_ + 2);
  LayOut();
}

void TThumbView::Append(TGalleryTile tile) {
  cellHeight_ = std::max(cellHeight_, size_ + 20 + QFontMetrics(viewport()->font()).height());
  tiles_.push_back(std::move(tile));
  const int index = Count() - 1;
  LayOut();
  if (CellRect(index).intersects(QRect(Origin(), viewport()->size())))
    viewport()->update(CellRect(index).translated(-Origin()));
}

void TThumbView::Remap(const QList<QRgb>& table) {
  // Through true colour: a conversion between two indexed forms would keep the old table.
  for (TGalleryTile& tile : tiles_)
    tile.Image = tile.Image.convertToFormat(QImage::Format_RGB32)
                     .convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
  viewport()->update();
}

void TThumbView::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  tiles_.erase(tiles_.begin() + index);
  if (selected_ >= Count()) selected_ = -1;
  LayOut();
  viewport()->update();
}

void TThumbView::Select(int index) {
  const int old = selected_;
  selected_ = index >= 0 && index < Count() ? index : -1;
  for (const int cell : {old, selected_})
    if (cell >= 0) viewport()->update(CellRect(cell).translated(-Origin()));
}

void TThumbView::ShowCell(int index) {
  const QRect cell = CellRect(index);
  if (cell.isEmpty()) return;
  const QPoint origin = Origin();
  const QSize view = viewport()->size();
  if (cell.top() < origin.y())
    verticalScrollBar()->setValue(cell.top());
  else if (cell.bottom() >= origin.y() + view.height())
    verticalScrollBar()->setValue(cell.bottom() + 1 - view.height());
  if (cell.left() < origin.x())
    horizontalScrollBar()->setValue(cell.left());
  else if (cell.right() >= origin.x() + view.width())
    horizontalScrollBar()->setValue(cell.right() + 1 - view.width());
}

void TThumbView::CentreCell(int index) {
  if (grid_.Rows == 0 || index < 0) return;
  const int row = index / grid_.Columns, column = index % grid_.Columns;
  const QSize view = viewport()->size();
  verticalScrollBar()->setValue(row * grid_.CellHeight - (view.height() - grid_.CellHeight) / 2);
  horizontalScrollBar()->setValue(column * grid_.CellWidth - (view.width() - grid_.CellWidth) / 2);
}

void TThumbView::ScrollToBottom() {
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TThumbView::SetColors(TColor background) {
  const int green = (background >> 8) & 0xFF;
  background_ = QtColor(background);
  if (green < 192) {
    frame_ = QtColor(green == 128 ? 0xC0C0C0 : 0x808080);
    selection_ = Qt::white;
  } else {
    frame_ = QtColor(green == 192 ? 0x808080 : 0xC0C0C0);
    selection_ = Qt::black;
  }
  viewport()->update();
}

void TThumbView::LayOut() {
  const TThumbGrid old = grid_;
  grid_ = LayOutThumbs(Count(), size_ + 20, cellHeight_, viewport()->width());
  const QSize view = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, grid_.Width - view.width()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setRange(0, std::max(0, grid_.Height - view.height()));
  verticalScrollBar()->setPageStep(view.height());
  if (grid_.Columns != old.Columns || grid_.CellHeight != old.CellHeight) viewport()->update();
  if ((grid_.Count != old.Count || grid_.Rows != old.Rows || grid_.Columns != old.Columns) &&
      OnLayout)
    OnLayout();
}

QPoint TThumbView::Origin() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QRect TThumbView::CellRect(int index) const {
  if (index < 0 || index >= Count() || grid_.Empty()) return {};
  return {index % grid_.Columns * grid_.CellWidth, index / grid_.Columns * grid_.CellHeight,
          grid_.CellWidth, grid_.CellHeight};
}

int TThumbView::IndexAt(QPoint viewportPoint) const {
  const QPoint at = viewportPoint + Origin();
  return ThumbAt(grid_, at.x(), at.y());
}

void TThumbView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), background_);
  if (grid_.Empty()) return;
  const QPoint origin = Origin();
  painter.translate(-origin);
  const TCellRange range =
      VisibleCells(grid_, origin.x(), origin.y(), viewport()->width(), viewport()->height());
  for (int row = range.FirstRow; row <= range.LastRow; ++row)
    for (int column = range.FirstColumn; column <= range.LastColumn; ++column)
      PaintCell(painter, row, column);
}

void TThumbView::PaintCell(QPainter& painter, int row, int column) {
  const long long index = static_cast<long long>(row) * grid_.Columns + column;
  if (index >= Count()) return; // the background is painted already
  const TGalleryTile& tile = tiles_[static_cast<size_t>(index)];
  const int x = column * grid_.CellWidth, y = row * grid_.CellHeight;
  painter.drawImage(x + 10, y + 10, tile.Image);
  const QFontMetrics metrics(painter.font());
  const TCaptionPadding pad = PadCaption(metrics.horizontalAdvance(tile.Name),
                                         metrics.horizontalAdvance(' '), grid_.CellWidth);
  const QString caption = QString(pad.Before, ' ') + tile.Name + QString(pad.After, ' ');
  painter.setPen(selection_);
  painter.setClipRect(x, y, grid_.CellWidth, grid_.CellHeight);
  painter.drawText(x + 4, y + size_ + 10 + metrics.ascent(), caption);
  painter.setClipping(false);
  painter.setPen(QPen(index == selected_ ? selection_ : frame_, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(x + 5, y + 5, grid_.CellWidth - 10, grid_.CellHeight - 10));
}

void TThumbView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  LayOut();
}

void TThumbView::scrollContentsBy(int, int) {
  viewport()->update();
}

void TThumbView::mousePressEvent(QMouseEvent* event) {
  const int index = IndexAt(event->position().toPoint());
  pressed_ = index;
  if (index < 0) return;
  Select(index);
  if (OnPress)
    OnPress(index, event->button() == Qt::RightButton, event->globalPosition().toPoint());
}

void TThumbView::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = pressed_;
  pressed_ = -1;
  if (event->button() != Qt::RightButton && pressed >= 0 && OnOpen) OnOpen(pressed);
}

void TThumbView::keyPressEvent(QKeyEvent* event) {
  if (OnKey) OnKey(event->key());
}

} // namespace kestrel
