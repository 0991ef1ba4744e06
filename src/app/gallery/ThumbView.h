#pragma once
// The gallery's scrolling grid of tiles. Tiles are kept in one array (appending is amortised
// constant time) and only the cells that meet the visible part are painted, so the view stays
// smooth however many tiles it holds.

#include "browse/thumbs/ThumbGrid.h"
#include "imaging/core/Color.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace kestrel {

struct TGalleryTile {
  QImage Image; // S x S
  QString Path; // the picture's full path
  QString Name; // its file name
};

class TThumbView : public QAbstractScrollArea {
public:
  explicit TThumbView(QWidget* parent = nullptr);

  // Empties the view and sets the tile size S (cells are S + 20 wide).
  void Reset(int size);
  void Append(TGalleryTile tile);
  void Remove(int index);
  // Shows every tile through another palette (a palette screen's new drawing palette).
  void Remap(const QList<QRgb>& table);
  int Count() const { return static_cast<int>(tiles_.size()); }
  const TGalleryTile& Tile(int index) const { return tiles_.at(static_cast<size_t>(index)); }
  int Size() const { return size_; }

  int Selected() const { return selected_; }
  // Selects index (-1 for none), repainting the cells concerned.
  void Select(int index);
  // Scrolls the least that shows the cell whole.
  void ShowCell(int index);
  // Centres the cell in the view (the "Find Selector").
  void CentreCell(int index);
  void ScrollToBottom();

  void SetColors(TColor background);
  const TThumbGrid& Grid() const { return grid_; }
  int CellHeight() const { return cellHeight_; }

  // A press selected a cell (right: with the menu wanted at the global point); a release after
  // a left press on a cell opens it.
  std::function<void(int index, bool menu, QPoint global)> OnPress;
  std::function<void(int index)> OnOpen;
  std::function<void(int key)> OnKey;
  // The grid's counts changed.
  std::function<void()> OnLayout;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  void LayOut();
  void PaintCell(QPainter& painter, int row, int column);
  QRect CellRect(int index) const;
  int IndexAt(QPoint viewportPoint) const;
  QPoint Origin() const;

  std::vector<TGalleryTile> tiles_;
  int size_ = 80;
  int cellHeight_ = 100;
  TThumbGrid grid_;
  int selected_ = -1;
  int pressed_ = -1;
  QColor background_ = Qt::black, frame_ = Qt::gray, selection_ = Qt::white;
};

} // namespace kestrel
