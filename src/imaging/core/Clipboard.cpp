#include "imaging/core/Clipboard.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/ImageLimits.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <mutex>
#include <vector>

namespace kestrel {

namespace {

// Ids of named formats start where the system's registered formats do.
constexpr TClipboardFormat kFirstNamedFormat = 0xC000;

struct TNamedFormat {
  std::string Name;
  QString MimeType;
};

std::mutex namedMutex;
std::vector<TNamedFormat>& namedFormats() {
  static std::vector<TNamedFormat> formats;
  return formats;
}

QString MimeTypeOf(TClipboardFormat format) {
  std::lock_guard lock(namedMutex);
  const auto& formats = namedFormats();
  const size_t i = format - kFirstNamedFormat;
  return format >= kFirstNamedFormat && i < formats.size() ? formats[i].MimeType : QString();
}

// Image types another program may offer, in the order they are taken, with the extension of the
// reader for each. A bitmap comes first: it carries the pixels as they are, where the PNG reader
// would correct a file without a gamma of its own (another copy of Kestrel offers both).
struct TImageType {
  const char* Mime;
  const char* Extension;
};
constexpr TImageType kImageTypes[] = {
    {"image/bmp", "bmp"}, {"image/x-bmp", "bmp"}, {"image/x-ms-bmp", "bmp"}, {"image/png", "png"},
    {"image/gif", "gif"}, {"image/jpeg", "jpg"},  {"image/tiff", "tif"}};

const TImageType* OfferedImageType(const QMimeData& data) {
  for (const TImageType& type : kImageTypes)
    if (data.hasFormat(type.Mime)) return &type;
  return nullptr;
}

QClipboard* SystemClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}

} // namespace

TClipboard& TClipboard::Instance() {
  static TClipboard clipboard;
  return clipboard;
}

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

TClipboardFormat TClipboard::RegisterFormat(const std::string& name, const std::string& mimeType) {
  std::lock_guard lock(namedMutex);
  auto& formats = namedFormats();
  for (size_t i = 0; i < formats.size(); ++i)
    if (formats[i].Name == name) return kFirstNamedFormat + static_cast<TClipboardFormat>(i);
  formats.push_back({name, QString::fromStdString(mimeType)});
  return kFirstNamedFormat + static_cast<TClipboardFormat>(formats.size() - 1);
}

void TClipboard::Open() {
  ++openCount_;
}

void TClipboard::Close() {
  if (openCount_ > 0 && --openCount_ == 0) Flush();
}

void TClipboard::Flush() {
  if (!pending_) return;
  if (QClipboard* clipboard = SystemClipboard()) {
    published_ = pending_.get();
    clipboard->setMimeData(pending_.release());
  } else {
    pending_.reset();
  }
}

const QMimeData* TClipboard::OwnData() const {
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  return data && data == published_.data() ? data : nullptr;
}

bool TClipboard::Available() const {
  return SystemClipboard() != nullptr;
}

bool TClipboard::HasFormat(TClipboardFormat format) const {
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data) return false;
  if (format == CF_BITMAP) return OwnData() ? data->hasImage() : OfferedImageType(*data) != nullptr;
  const QString mime = MimeTypeOf(format);
  return !mime.isEmpty() && data->hasFormat(mime);
}

TClipboardData TClipboard::GetAsHandle(TClipboardFormat format) const {
  TClipboardData result;
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data) return result;
  QString mime = MimeTypeOf(format);
  if (format == CF_BITMAP) {
    if (OwnData()) {
      const QImage image = qvariant_cast<QImage>(data->imageData());
      if (image.isNull() || !ImageLimits::Fits(image.width(), image.height(), 32)) return result;
      result.Bitmap = std::make_shared<TBitmap>();
      result.Bitmap->LoadFromImage(image);
      return result;
    }
    const TImageType* type = OfferedImageType(*data);
    if (!type) return result;
    mime = type->Mime;
    result.Extension = type->Extension;
  }
  if (mime.isEmpty()) return result;
  const QByteArray bytes = data->data(mime);
  result.Bytes.assign(bytes.begin(), bytes.end());
  return result;
}

void TClipboard::SetAsHandle(TClipboardFormat format, const TClipboardData& data) {
  TClipboardSession session(*this);
  if (!pending_) pending_ = std::make_unique<QMimeData>();
  if (format == CF_BITMAP) {
    // The clipboard outlives the bitmap: hand it a deep copy, not a view.
    if (data.Bitmap && !data.Bitmap->Empty()) pending_->setImageData(data.Bitmap->Image().copy());
    return;
  }
  const QString mime = MimeTypeOf(format);
  if (!mime.isEmpty())
    pending_->setData(mime, QByteArray(reinterpret_cast<const char*>(data.Bytes.data()),
                                       static_cast<qsizetype>(data.Bytes.size())));
}

void TClipboard::Clear() {
  pending_.reset();
  if (QClipboard* clipboard = SystemClipboard()) clipboard->clear();
}

void TClipboard::Assign(const TPersistent* source) {
  const auto* graphic = dynamic_cast<const TGraphic*>(source);
  if (!graphic) return TPersistent::Assign(source);
  TClipboardSession session(*this);
  TClipboardFormat format = 0;
  TClipboardData data;
  TPalette palette;
  graphic->SaveToClipboardFormat(format, data, palette);
  SetAsHandle(format, data);
}

} // namespace kestrel
