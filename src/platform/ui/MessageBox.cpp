#include "platform/ui/MessageBox.h"

#include "platform/ui/CaptionWidth.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace kestrel {
namespace {

TMessageHandler& Handler() {
  static TMessageHandler handler;
  return handler;
}

QMessageBox::Icon BoxIcon(TMsgIcon icon) {
  switch (icon) {
  case TMsgIcon::Information:
    return QMessageBox::Information;
  case TMsgIcon::Warning:
    return QMessageBox::Warning;
  case TMsgIcon::Error:
    return QMessageBox::Critical;
  case TMsgIcon::Question:
    return QMessageBox::Question;
  case TMsgIcon::None:
    break;
  }
  return QMessageBox::NoIcon;
}

TMsgResult SafeAnswer(const TMessageRequest& request) {
  switch (request.Buttons) {
  case TMsgButtons::YesNo:
    return TMsgResult::No;
  case TMsgButtons::OkCancel:
  case TMsgButtons::YesNoCancel:
    return TMsgResult::Cancel;
  case TMsgButtons::Ok:
    break;
  }
  return TMsgResult::Ok;
}

QMessageBox::StandardButtons BoxButtons(TMsgButtons buttons) {
  switch (buttons) {
  case TMsgButtons::YesNo:
    return QMessageBox::Yes | QMessageBox::No;
  case TMsgButtons::OkCancel:
    return QMessageBox::Ok | QMessageBox::Cancel;
  case TMsgButtons::YesNoCancel:
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  case TMsgButtons::Ok:
    break;
  }
  return QMessageBox::Ok;
}

TMsgResult LogMessage(const QString& logName, const TMessageRequest& request) {
  QFile log(logName);
  if (log.open(QIODevice::Append)) {
    QString text = request.Text;
    text.replace('\n', "\\n").replace('\r', "\\r");
    log.write((request.Caption + '\t' + text + '\n').toUtf8());
  }
  return SafeAnswer(request);
}

// Some questions are asked in the caption, with the folder as the text: the box is made wide
// enough for the caption to be read.
void FitCaption(QMessageBox& box, const QString& caption) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid || caption.isEmpty()) return;
  grid->addItem(
      new QSpacerItem(CaptionWidth(box, caption), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
      grid->rowCount(), 0, 1, grid->columnCount());
}

TMsgResult ShowBox(const TMessageRequest& request, QWidget* parent) {
  QString text = request.Text;
  text.replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox box(BoxIcon(request.Icon), request.Caption, text, BoxButtons(request.Buttons),
                  parent ? parent : QApplication::activeWindow());
  FitCaption(box, request.Caption);
  switch (box.exec()) {
  case QMessageBox::Yes:
    return TMsgResult::Yes;
  case QMessageBox::No:
    return TMsgResult::No;
  case QMessageBox::Ok:
    return TMsgResult::Ok;
  default:
    return SafeAnswer(request);
  }
}

} // namespace

TMsgResult MessageBox(const TMessageRequest& request, QWidget* parent) {
  if (Handler()) return Handler()(request);
  const QString logName = qEnvironmentVariable("KESTREL_MESSAGE_LOG");
  if (!logName.isEmpty()) return LogMessage(logName, request);
  return ShowBox(request, parent);
}

void ShowMessage(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) {
  MessageBox({text, caption, icon, TMsgButtons::Ok}, parent);
}

bool AskYesNo(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) {
  return MessageBox({text, caption, icon, TMsgButtons::YesNo}, parent) == TMsgResult::Yes;
}

bool AskOkCancel(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) {
  return MessageBox({text, caption, icon, TMsgButtons::OkCancel}, parent) == TMsgResult::Ok;
}

TMessageHandler SetMessageHandler(TMessageHandler handler) {
  TMessageHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

} // namespace kestrel
