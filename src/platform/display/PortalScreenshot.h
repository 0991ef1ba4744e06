#pragma once
// The desktop portal's Screenshot call, for desktops (Wayland) that keep the screen's pixels from
// programs: the portal asks the user what to take, writes the picture to a file and names it in
// its answer. The answer comes as a signal, so the call waits handling events and can be
// cancelled; a portal that never answers is cancelled by the user, not by a time-out.

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QEventLoop;

namespace kestrel {

struct TPortalShot {
  QImage Image;    // null when no picture came
  QString Failure; // why, when it was not the user who cancelled
};

class TPortalScreenshot : public QObject {
  Q_OBJECT

public:
  explicit TPortalScreenshot(const QDBusConnection& bus = QDBusConnection::sessionBus());

  // Whether a portal on the bus offers Screenshot.
  bool Available() const;
  // Asks for a picture of the screen (interactive: the portal lets the user pick a window or an
  // area first) and waits for the answer.
  TPortalShot Take(bool interactive);
  // Ends a waiting Take with no picture.
  void Cancel();
  bool Waiting() const { return loop_ != nullptr; }

private slots:
  void Response(uint code, const QVariantMap& results);

private:
  QString RequestPath(const QString& token) const;
  TPortalShot Read(const QString& uri) const;

  QDBusConnection bus_;
  QEventLoop* loop_ = nullptr;
  bool answered_ = false;
  uint code_ = 0;
  QVariantMap results_;
};

} // namespace kestrel
