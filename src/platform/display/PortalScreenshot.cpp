#include "platform/display/PortalScreenshot.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QImageReader>
#include <QRandomGenerator>
#include <QUrl>

namespace kestrel {
namespace {

const char kService[] = "org.freedesktop.portal.Desktop";
const char kPath[] = "/org/freedesktop/portal/desktop";
const char kScreenshot[] = "org.freedesktop.portal.Screenshot";
const char kRequest[] = "org.freedesktop.portal.Request";
constexpr int kCallMs = 5000;
// The portal's answers: 0 a picture, 1 the user cancelled, 2 anything else.
constexpr uint kSuccess = 0;
constexpr uint kUserCancelled = 1;

} // namespace

TPortalScreenshot::TPortalScreenshot(const QDBusConnection& bus) : bus_(bus) {}

bool TPortalScreenshot::Available() const {
  if (!bus_.isConnected()) return false;
  QDBusMessage ask =
      QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
  ask << QString(kScreenshot) << QString("version");
  // Events are handled meanwhile, so a portal served by this very process can answer.
  const QDBusMessage reply = bus_.call(ask, QDBus::BlockWithGui, kCallMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

// Where the portal will answer: known before the call, so the answer cannot come before we
// listen for it.
QString TPortalScreenshot::RequestPath(const QString& token) const {
  QString sender = bus_.baseService().mid(1);
  sender.replace('.', '_');
  return QString(kPath) + "/request/" + sender + "/" + token;
}

TPortalShot TPortalScreenshot::Take(bool interactive) {
  if (loop_) return {{}, "A screenshot is already being taken."};
  const QString token = QString("kestrel%1").arg(QRandomGenerator::global()->generate());
  const QString request = RequestPath(token);
  answered_ = false;
  if (!bus_.connect(kService, request, kRequest, "Response", this,
                    SLOT(Response(uint, QVariantMap))))
    return {{}, "The desktop portal cannot be listened to."};
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenshot, "Screenshot");
  call << QString()
       << QVariantMap{{"handle_token", token}, {"interactive", interactive}, {"modal", true}};
  const QDBusMessage reply = bus_.call(call, QDBus::BlockWithGui, kCallMs);
  TPortalShot shot;
  if (reply.type() != QDBusMessage::ReplyMessage) {
    shot.Failure = "The desktop portal refused the screenshot: " + reply.errorMessage();
  } else if (!answered_) {
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
  }
  bus_.disconnect(kService, request, kRequest, "Response", this, SLOT(Response(uint, QVariantMap)));
  if (!shot.Failure.isEmpty() || !answered_ || code_ == kUserCancelled) return shot;
  if (code_ != kSuccess) return {{}, "The desktop portal could not take the screenshot."};
  return Read(results_.value("uri").toString());
}

void TPortalScreenshot::Cancel() {
  if (loop_) loop_->quit();
}

void TPortalScreenshot::Response(uint code, const QVariantMap& results) {
  answered_ = true;
  code_ = code;
  results_ = results;
  if (loop_) loop_->quit();
}

TPortalShot TPortalScreenshot::Read(const QString& uri) const {
  const QUrl url(uri);
  if (!url.isLocalFile()) return {{}, "The desktop portal named no picture file."};
  // QImageReader's allocation limit keeps a damaged file from claiming unbounded memory.
  QImageReader reader(url.toLocalFile());
  QImage image = reader.read();
  if (image.isNull()) return {{}, "The screenshot cannot be read: " + reader.errorString()};
  return {std::move(image), {}};
}

} // namespace kestrel
