// The arrangement of the Picture Index Maker's controls: the pages "Page" and "Headings", and
// "Start" in its light with "Save As" below them.

#include "browse/index/Thumbs.h"

#include "platform/ui/DigitsField.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kestrel {
namespace {

// A field changed by its arrows only.
QSpinBox* ArrowsField(TIndexRange range, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(range.Low, range.High);
  if (auto* text = spin->findChild<QLineEdit*>()) text->setReadOnly(true);
  return spin;
}

QLabel* Indicator(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAutoFillBackground(true);
  label->setAlignment(Qt::AlignCenter);
  label->setFixedSize(40, 20);
  label->setFrameShape(QFrame::Box);
  return label;
}

QGroupBox* Group(const char* title, QWidget* parent) {
  return new QGroupBox(title, parent);
}

// A border's group: its width by arrows, its colour shown, and the button that picks it.
QGroupBox* BorderGroup(const char* title, TIndexRange range, QSpinBox*& width, QLabel*& shown,
                       QPushButton*& pick, QWidget* parent) {
  auto* group = Group(title, parent);
  auto* row = new QHBoxLayout(group);
  width = ArrowsField(range, group);
  shown = Indicator(group);
  pick = new QPushButton("Color", group);
  row->addWidget(width);
  row->addWidget(shown);
  row->addWidget(pick);
  return group;
}

} // namespace

void TThumbs::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  Pages = new QTabWidget(this);
  Pages->addTab(BuildPagePage(), "Page");
  Pages->addTab(BuildHeadingsPage(), "Headings");
  layout->addWidget(Pages);

  auto* buttons = new QHBoxLayout;
  Light1 = new QFrame(this);
  Light1->setAutoFillBackground(true);
  auto* lightLayout = new QHBoxLayout(Light1);
  lightLayout->setContentsMargins(6, 6, 6, 6);
  Start1 = new QPushButton("Start", Light1);
  lightLayout->addWidget(Start1);
  SaveAs1 = new QPushButton("Save As", this);
  buttons->addWidget(Light1);
  buttons->addStretch();
  buttons->addWidget(SaveAs1);
  layout->addLayout(buttons);
}

QWidget* TThumbs::BuildPagePage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);

  auto* general = Group("Genaral Page Settings", page);
  auto* g = new QGridLayout(general);
  Width1 = DigitsField(4, general);
  Height1 = DigitsField(4, general);
  Memory = new QLabel(general);
  FilesSelected = new QLabel(general);
  FilesAvailable = new QLabel(general);
  BackgroundColor1 = new QPushButton("Color", general);
  Sample1 = new QFrame(general);
  Sample1->setAutoFillBackground(true);
  Sample1->setFrameShape(QFrame::Box);
  Sample1->setFixedSize(40, 20);
  g->addWidget(new QLabel("Width", general), 0, 0);
  g->addWidget(Width1, 0, 1);
  g->addWidget(new QLabel("Height", general), 1, 0);
  g->addWidget(Height1, 1, 1);
  g->addWidget(new QLabel("Memory", general), 2, 0);
  g->addWidget(Memory, 2, 1);
  g->addWidget(new QLabel("Files Selected", general), 0, 2);
  g->addWidget(FilesSelected, 0, 3);
  g->addWidget(new QLabel("Files Available", general), 1, 2);
  g->addWidget(FilesAvailable, 1, 3);
  g->addWidget(new QLabel("Background", general), 2, 2);
  g->addWidget(Sample1, 2, 3);
  g->addWidget(BackgroundColor1, 2, 4);
  grid->addWidget(general, 0, 0, 1, 2);

  grid->addWidget(
      BorderGroup("Page Border", kPageBorderRange, Border1, IndiColor1, PageBorderColor1, page), 1,
      0);

  auto* wallpaper = Group("Background Graphic", page);
  auto* w = new QVBoxLayout(wallpaper);
  Backgraphic = new QCheckBox("Background Graphic", wallpaper);
  Tile1 = new QCheckBox("Tile Background", wallpaper);
  ClipBrdGraphic = new QCheckBox("Load Graphic From Clipboard", wallpaper);
  Browse1 = new QPushButton("Browse", wallpaper);
  w->addWidget(Backgraphic);
  w->addWidget(Tile1);
  w->addWidget(ClipBrdGraphic);
  w->addWidget(Browse1);
  grid->addWidget(wallpaper, 1, 1, 2, 1);

  auto* layout = Group("Thumbnail Layout and Quality", page);
  auto* l = new QGridLayout(layout);
  ImagesX = DigitsField(3, layout);
  ImagesY = DigitsField(3, layout);
  Spacing1 = ArrowsField(kSpacingRange, layout);
  CheckBox1 = new QCheckBox("Manual Layout", layout);
  QuickThumbs = new QCheckBox("Qick Thumbnails", layout);
  l->addWidget(new QLabel("Images per Row", layout), 0, 0);
  l->addWidget(ImagesX, 0, 1);
  l->addWidget(new QLabel("Rows", layout), 1, 0);
  l->addWidget(ImagesY, 1, 1);
  l->addWidget(new QLabel("Spacing", layout), 2, 0);
  l->addWidget(Spacing1, 2, 1);
  l->addWidget(CheckBox1, 0, 2);
  l->addWidget(QuickThumbs, 1, 2);
  grid->addWidget(layout, 3, 0, 1, 2);

  grid->addWidget(BorderGroup("Thumbnail Border", kThumbBorderRange, Border2, Indicolor2,
                              ThumbBorderColor1, page),
                  2, 0);
  return page;
}

QWidget* TThumbs::BuildHeadingsPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);

  auto* title = Group("Page Title", page);
  auto* t = new QGridLayout(title);
  Edit1 = new QLineEdit(title);
  LeftJustify1 = new QRadioButton("Left Justify", title);
  Centre1 = new QRadioButton("Centre", title);
  TitleFont1 = new QPushButton("Font", title);
  Transparent1 = new QCheckBox("Transparent", title);
  TitleFontLabel = new QLabel(title);
  t->addWidget(Edit1, 0, 0, 1, 3);
  t->addWidget(LeftJustify1, 1, 0);
  t->addWidget(Centre1, 1, 1);
  t->addWidget(Transparent1, 1, 2);
  t->addWidget(TitleFont1, 2, 0);
  t->addWidget(TitleFontLabel, 2, 1, 1, 2);
  layout->addWidget(title);

  auto* footer = Group("Page Footer", page);
  auto* f = new QGridLayout(footer);
  Edit2 = new QLineEdit(footer);
  FooterFont1 = new QPushButton("Font", footer);
  Transparent2 = new QCheckBox("Transparent", footer);
  FooterFontLabel = new QLabel(footer);
  f->addWidget(Edit2, 0, 0, 1, 3);
  f->addWidget(Transparent2, 1, 2);
  f->addWidget(FooterFont1, 2, 0);
  f->addWidget(FooterFontLabel, 2, 1, 1, 2);
  layout->addWidget(footer);

  auto* caption = Group("Thumbnail Caption", page);
  auto* c = new QGridLayout(caption);
  ThumbsFont1 = new QPushButton("Font", caption);
  Transparent3 = new QCheckBox("Transparent", caption);
  ThumbsFontLabel = new QLabel(caption);
  c->addWidget(Transparent3, 0, 2);
  c->addWidget(ThumbsFont1, 1, 0);
  c->addWidget(ThumbsFontLabel, 1, 1, 1, 2);
  layout->addWidget(caption);

  CommonFontStyle = new QCheckBox("One Font for All Text", page);
  CommonFontColor = new QCheckBox("One Color for all Fonts", page);
  layout->addWidget(CommonFontStyle);
  layout->addWidget(CommonFontColor);
  return page;
}

} // namespace kestrel
