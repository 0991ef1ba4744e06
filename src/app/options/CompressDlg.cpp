#include "app/options/CompressDlg.h"

#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kestrel {

TCompressDlg::TCompressDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  Label1 = new QLabel(" Select CompressionType", this);
  cbMain = new QComboBox(this);
  Label2 = new QLabel(QString::fromStdString(TCompressChoices::DepthLabel()), this);
  CbPixels = new QComboBox(this);
  for (const std::string& item : TCompressChoices::DepthItems())
    CbPixels->addItem(QString::fromStdString(item));
  CbPixels->setCurrentText("24");
  Label3 = new QLabel(this);
  Button1 = new QPushButton("OK", this);
  Button1->setDefault(true);
  auto* layout = new QGridLayout(this);
  layout->addWidget(Label1, 0, 0, 1, 2);
  layout->addWidget(cbMain, 1, 0, 1, 2);
  layout->addWidget(Label2, 2, 0);
  layout->addWidget(CbPixels, 2, 1);
  layout->addWidget(Label3, 3, 0, 1, 2);
  layout->addWidget(Button1, 4, 1);
  connect(Button1, &QPushButton::clicked, this, [this] { done(kOkResult); });
  connect(CbPixels, &QComboBox::currentTextChanged, this, [this] { CbPixelsChange(); });
}

TCompressDlg::~TCompressDlg() = default;

void TCompressDlg::Prepare(TCompressUse use, int depthCode, int paletteColors, bool synthesized,
                           TItemCheck followable) {
  Choices = std::make_unique<TCompressChoices>(use, depthCode, paletteColors, synthesized);
  Followable = std::move(followable);
  setWindowTitle(QString::fromStdString(Choices->Caption()));
  Label1->setText(QString::fromStdString(Choices->Prompt()));
  Label3->setText(QString::fromStdString(Choices->PaletteText()));
  const bool depth = Choices->OffersDepth();
  Label2->setVisible(depth);
  CbPixels->setVisible(depth);
  Choices->SetDepth(CbPixels->currentText().toStdString());
  FillItems();
  setResult(0);
}

void TCompressDlg::FillItems() {
  cbMain->clear();
  for (const std::string& item : Choices->Items())
    cbMain->addItem(QString::fromStdString(item));
  // The first choice the save can follow: one that is bound to fail would only bring a message.
  int first = 0;
  while (Followable && first + 1 < cbMain->count() && !Followable(Choices->DepthCode(), first))
    ++first;
  cbMain->setCurrentIndex(first);
}

void TCompressDlg::CbPixelsChange() {
  if (Choices && Choices->SetDepth(CbPixels->currentText().toStdString())) FillItems();
}

int TCompressDlg::ResultCode() const {
  if (!Choices) return TCompressChoices::kCancelled;
  return Choices->Result(result() == kOkResult, cbMain->currentIndex());
}

int TCompressDlg::DepthCode() const {
  return Choices ? Choices->DepthCode() : kDepthCode24;
}

int TCompressDlg::HelpContext() const {
  return Choices ? Choices->HelpContext() : 0;
}

void TCompressDlg::reject() {
  if (AskYesNo(TCompressChoices::kAbortQuestion, TCompressChoices::kAbortCaption,
               TMsgIcon::Question, this))
    QDialog::reject();
}

int TCompressDlg::CompressionWindow(TCompressUse use, const TBitmap& bitmap, int depthCode,
                                    bool synthesized, int* depthCodeOut, TItemCheck followable) {
  Prepare(use, depthCode, bitmap.Palette().Count(), synthesized, std::move(followable));
  exec();
  if (depthCodeOut) *depthCodeOut = DepthCode();
  return ResultCode();
}

} // namespace kestrel
