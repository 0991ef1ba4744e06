#pragma once
// Answers the message boxes of a test and keeps them, each as "caption: text".

#include "platform/ui/MessageBox.h"

#include <QStringList>

namespace kestrel::test {

class TMessageRecorder {
public:
  TMessageRecorder() {
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages << request.Caption + ": " + request.Text;
      return request.Buttons == TMsgButtons::YesNo ? Answer : TMsgResult::Ok;
    });
  }
  ~TMessageRecorder() { SetMessageHandler({}); }
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  QStringList Messages;
  TMsgResult Answer = TMsgResult::Yes; // to every question
};

} // namespace kestrel::test
