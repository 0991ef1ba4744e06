#include "imaging/gif/GIFItem.h"

#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"

namespace kestrel {

namespace {

void Report(const TGIFImage* image, const void* sender, TGIFSeverity severity,
            const std::string& message) {
  if (image) return image->Warning(sender, severity, message);
  if (severity == TGIFSeverity::Error) throw GIFException(message);
}

} // namespace

void TGIFItem::LoadFromFile(const std::string& path) {
  TFileStream stream(path, TFileMode::OpenRead);
  LoadFromStream(stream);
}

void TGIFItem::SaveToFile(const std::string& path) {
  TFileStream stream(path, TFileMode::Create);
  SaveToStream(stream);
  stream.Flush();
}

void TGIFItem::Warning(TGIFSeverity severity, const std::string& message) const {
  Report(image_, this, severity, message);
}

TGIFWarning TGIFItem::WarningEvent() const {
  const TGIFImage* image = image_;
  return [image](const void* sender, TGIFSeverity severity, const std::string& message) {
    Report(image, sender, severity, message);
  };
}

} // namespace kestrel
