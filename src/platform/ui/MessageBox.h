#pragma once
// Message boxes and Yes/No questions. Texts keep the program's own line breaks ("\r"); the box
// shows each as a new line.
//
// Without a screen to show them on (automated runs), KESTREL_MESSAGE_LOG names a file: each box
// is then appended to it as one line, "caption<TAB>text" with line breaks written as "\r", and
// answered with its safe choice (OK, No for a question, Cancel for OK/Cancel and Yes/No/Cancel)
// instead of being shown.

#include <QString>

#include <functional>

class QWidget;

namespace kestrel {

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class TMsgResult { Ok, Yes, No, Cancel };

struct TMessageRequest {
  QString Text;
  QString Caption;
  TMsgIcon Icon = TMsgIcon::None;
  TMsgButtons Buttons = TMsgButtons::Ok;
};

TMsgResult MessageBox(const TMessageRequest& request, QWidget* parent = nullptr);
void ShowMessage(const QString& text, const QString& caption, TMsgIcon icon,
                 QWidget* parent = nullptr);
// True on Yes.
bool AskYesNo(const QString& text, const QString& caption, TMsgIcon icon,
              QWidget* parent = nullptr);
// True on OK.
bool AskOkCancel(const QString& text, const QString& caption, TMsgIcon icon,
                 QWidget* parent = nullptr);

// Replaces the boxes by a handler (tests answer and record them); an empty handler restores the
// real boxes. Returns the handler it replaced.
using TMessageHandler = std::function<TMsgResult(const TMessageRequest&)>;
TMessageHandler SetMessageHandler(TMessageHandler handler);

} // namespace kestrel
