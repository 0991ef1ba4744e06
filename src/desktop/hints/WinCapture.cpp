#include "desktop/hints/WinCapture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kestrel {
namespace {

struct THint {
  int Kind;
  const char* Title;
  bool Warning; // shows "Abort"
  const char* Message;
};

// The messages keep the program's own line breaks ("\r").
constexpr THint kHints[] = {
    {1, "Whole Screen Capture", false,
     "After you click on 'Continue', Kestrel! will disappear.\rArrange your desktop the way you "
     "want it to look in the\rscreenshot. Press the Ctrl key to capture the screen."},
    {2, "Active Window Capture", false,
     "After you choose 'Continue', click on the\rtitle bar of the window you want to capture.\r"
     "Press the Ctrl key to capture the window."},
    {3, "Resampler", true,
     "To resample the edited image, first click on the\rEditing Tools 'Input' button to make it "
     "the\rreference image for the resampler."},
    {4, "Arbitrary Rotation", true,
     "To rotate the edited image, first click on the\rEditing Tools 'Input' button to make it "
     "the\rreference image for the rotation function."},
    {5, "Text On Graphic", false,
     "*Double click in the text area to change the font.\r*Ctrl-Click in the text area for "
     "transparent text.\rThe 'T' icon turns white to indicate transparent mode.\r*Use the Paint "
     "Box to set background color for solid text\r\r*** You can Practice while this Dialog is "
     "Open ***"},
    {7, "Thumbnail Gallery", false,
     "This function is optimised for more than 256 colors\rIf you need to work in this display "
     "mode, the Options\rbutton has some alternative settings which you may prefer"},
};

const THint* FindHint(int kind) {
  for (const THint& hint : kHints)
    if (hint.Kind == kind) return &hint;
  return nullptr;
}

QString Lines(QString text) {
  return text.replace('\r', '\n');
}

} // namespace

TWinCapture::TWinCapture(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  Label1 = new QLabel(this);
  Label1->setAlignment(Qt::AlignCenter);
  Button1 = new QPushButton("Continue", this);
  Button2 = new QPushButton("Abort", this);
  DontShowAgain = new QCheckBox("Never show me this again", this);
  Button1->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(DontShowAgain);
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  masks_.Load();
}

bool TWinCapture::Prepare(int kind) {
  kind_ = kind;
  Button2->hide();
  if (masks_.HeldBack(kind)) return false;
  masks_.MarkShown(kind);
  const THint* hint = FindHint(kind);
  const bool warning = hint && hint->Warning;
  const QString title = hint ? hint->Title : QString();
  setWindowTitle((warning ? "Kestrel! Warning: " : "Kestrel! Help: ") + title);
  Label1->setText(Lines(QString(hint ? hint->Message : "") +
                        "\r\rThis message will not appear again in this session."));
  Button2->setVisible(warning);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  return true;
}

THintResult TWinCapture::ShowModal(int kind) {
  if (!Prepare(kind)) return THintResult::NotShown;
  return exec() == QDialog::Accepted ? THintResult::Continue : THintResult::Abort;
}

void TWinCapture::ShowModeless(int kind) {
  if (!Prepare(kind)) return;
  show();
  raise();
}

void TWinCapture::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TWinCapture::FormClose() {
  if (removing_) return;
  if (DontShowAgain->isChecked()) masks_.NeverAgain(kind_);
  masks_.Save();
  DontShowAgain->setChecked(false);
}

} // namespace kestrel
