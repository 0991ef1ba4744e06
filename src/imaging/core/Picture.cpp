#include "imaging/core/Picture.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace kestrel {

namespace {

struct TClipboardClass {
  TClipboardFormat Format;
  std::type_index Class;
  TGraphicFactory Create;
};

struct Registry {
  std::mutex mutex;
  std::vector<TFileFormat> formats;
  std::vector<TClipboardClass> clipboard;
  Registry() {
    formats.push_back(
        {"bmp", "Bitmaps", typeid(TBitmap), [] { return std::make_unique<TBitmap>(); }});
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// "png", ".png" and "dir/name.png" all give "png".
std::string ExtensionKey(const std::string& text) {
  if (text.find('.') == std::string::npos && text.find('/') == std::string::npos)
    return Lower(text);
  return LowerExtension(text);
}

} // namespace

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Lower(path.substr(dot + 1));
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TGraphic&) { GraphicChanged(); };
  GraphicChanged();
}

void TPicture::GraphicChanged() {
  if (OnChange) OnChange(*this);
}

TBitmap& TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) SetGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*graphic_);
}

int TPicture::Width() const {
  return graphic_ ? graphic_->Width() : 0;
}

int TPicture::Height() const {
  return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string extension = LowerExtension(path);
  const auto format = FindFileFormat(extension);
  if (extension.empty() || !format)
    throw EInvalidGraphic(formatMessage("Unknown picture file extension (.%s)", extension.c_str()));
  auto graphic = format->Create();
  graphic->LoadFromFile(path);
  SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) {
  if (!graphic_) throw EInvalidGraphic("Picture is empty");
  graphic_->SaveToFile(path);
}

void TPicture::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                                       const TPalette& palette) {
  TGraphicFactory create;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& c : r.clipboard)
      if (c.Format == format) create = c.Create;
  }
  if (!create) throw EInvalidGraphic("Unsupported clipboard format");
  auto graphic = create();
  graphic->LoadFromClipboardFormat(format, data, palette);
  SetGraphic(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                                     TPalette& palette) const {
  if (graphic_) graphic_->SaveToClipboardFormat(format, data, palette);
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) return SetGraphic(nullptr);
  const TGraphic* graphic = dynamic_cast<const TGraphic*>(source);
  if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
    if (picture == this) return;
    graphic = picture->Graphic();
    if (!graphic) return SetGraphic(nullptr);
  }
  if (!graphic) return TPersistent::Assign(source);
  auto copy = graphic->NewInstance();
  copy->Assign(graphic);
  SetGraphic(std::move(copy));
}

void TPicture::AssignTo(TPersistent& target) const {
  if (!graphic_) return TPersistent::AssignTo(target);
  target.Assign(graphic_.get());
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  std::type_index graphicClass, TGraphicFactory create) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  TFileFormat format{ExtensionKey(extension), description, graphicClass, std::move(create)};
  for (auto& f : r.formats)
    if (f.Extension == format.Extension) {
      f = std::move(format);
      return;
    }
  r.formats.push_back(std::move(format));
}

void TPicture::UnregisterGraphicClass(std::type_index graphicClass) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase_if(r.formats, [&](const TFileFormat& f) { return f.Class == graphicClass; });
  std::erase_if(r.clipboard, [&](const TClipboardClass& c) { return c.Class == graphicClass; });
}

void TPicture::RegisterClipboardFormat(TClipboardFormat format, std::type_index graphicClass,
                                       TGraphicFactory create) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase_if(r.clipboard, [&](const TClipboardClass& c) { return c.Format == format; });
  r.clipboard.push_back({format, graphicClass, std::move(create)});
}

bool TPicture::SupportsClipboardFormat(TClipboardFormat format) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return std::any_of(r.clipboard.begin(), r.clipboard.end(),
                     [&](const TClipboardClass& c) { return c.Format == format; });
}

std::vector<TFileFormat> TPicture::FileFormats() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.formats;
}

std::optional<TFileFormat> TPicture::FindFileFormat(const std::string& extensionOrPath) {
  const std::string key = ExtensionKey(extensionOrPath);
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (const auto& f : r.formats)
    if (f.Extension == key) return f;
  return std::nullopt;
}

std::string TPicture::GraphicFileMask() {
  std::string mask;
  for (const auto& f : FileFormats()) {
    if (!mask.empty()) mask += ';';
    mask += "*." + f.Extension;
  }
  return mask;
}

std::string TPicture::GraphicFilter() {
  std::string entries;
  for (const auto& f : FileFormats()) {
    if (!entries.empty()) entries += '|';
    entries += f.Description + " (*." + f.Extension + ")|*." + f.Extension;
  }
  const std::string mask = GraphicFileMask();
  return "All (" + mask + ")|" + mask + "|" + entries;
}

} // namespace kestrel
