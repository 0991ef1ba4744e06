#include "browse/find/FindDialog.h"

#include "browse/filelists/FListBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrel {

TFindDialog::TFindDialog(TFListBox* list, std::function<void()> shown, QWidget* parent)
    : QDialog(parent), List(list), Shown(std::move(shown)) {
  setWindowTitle(kCaption);
  auto* layout = new QHBoxLayout(this);
  FindWhat = new QComboBox(this);
  FindWhat->setEditable(true);
  FindWhat->setInsertPolicy(QComboBox::NoInsert);
  FindWhat->setMinimumWidth(FindWhat->fontMetrics().averageCharWidth() * 24);
  FindButton = new QPushButton("Find", this);
  FindButton->setAutoDefault(false);
  layout->addWidget(new QLabel("Find What", this));
  layout->addWidget(FindWhat, 1);
  layout->addWidget(FindButton);
  connect(FindButton, &QPushButton::clicked, this, &TFindDialog::FindClick);
  connect(FindWhat->lineEdit(), &QLineEdit::returnPressed, this, &TFindDialog::FindClick);
  connect(FindWhat->lineEdit(), &QLineEdit::textEdited, this, &TFindDialog::TextEdited);
}

void TFindDialog::TextEdited() {
  LastFound = -1;
  setWindowTitle(kCaption);
}

void TFindDialog::FindClick() {
  const QString text = FindWhat->currentText();
  if (FindWhat->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
    FindWhat->insertItem(0, text);
  FindWhat->setEditText(text);
  setWindowTitle("Kestrel!");
  for (int i = LastFound + 1; i < List->Count(); ++i) {
    if (!List->Item(i).Text.contains(text, Qt::CaseInsensitive)) continue;
    LastFound = i;
    List->clearSelection();
    List->SetItemIndex(i);
    List->SetSelected(i, true);
    List->scrollTo(List->currentIndex());
    if (Shown) Shown();
    return;
  }
  LastFound = -1;
  setWindowTitle("Kestrel!: No More Files");
}

} // namespace kestrel
