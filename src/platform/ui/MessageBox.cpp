#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

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
  return request.Buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Ok;
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

TMsgResult ShowBox(const TMessageRequest& request, QWidget* parent) {
  QString text = request.Text;
  text.replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox box(BoxIcon(request.Icon), request.Caption, text,
                  request.Buttons == TMsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                        : QMessageBox::Ok,
                  parent ? parent : QApplication::activeWindow());
  switch (box.exec()) {
  case QMessageBox::Yes:
    return TMsgResult::Yes;
  case QMessageBox::No:
    return TMsgResult::No;
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

TMessageHandler SetMessageHandler(TMessageHandler handler) {
  TMessageHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

} // namespace kestrel
