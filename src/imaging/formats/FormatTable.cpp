#include "imaging/formats/FormatTable.h"

#include "imaging/core/Bitmap.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/icon/Icon.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/metafile/Metafile.h"
#include "imaging/pcx/DcxGraphic.h"
#include "imaging/pcx/PcxGraphic.h"
#include "imaging/png/PngGraphic.h"
#include "imaging/tga/TgaGraphic.h"
#include "imaging/tiff/TiffGraphic.h"

namespace kestrel {

namespace {

template <class T> TFormatRow Row(const char* extension, TFileKind kind, const char* description) {
  return {extension, kind, description, std::type_index(typeid(T)),
          [] { return std::make_unique<T>(); }};
}

// Each metafile extension makes a metafile of its own flavour.
TFormatRow MetafileRow(const char* extension, TFileKind kind, const char* description) {
  TFormatRow row = Row<TMetafile>(extension, kind, description);
  row.Create = [enhanced = kind == fkEmf] {
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetEnhanced(enhanced);
    return metafile;
  };
  return row;
}

// A row whose reading class is not part of the image library.
TFormatRow Unread(const char* extension, TFileKind kind, const char* description) {
  return {extension, kind, description, std::nullopt, {}};
}

std::vector<TFormatRow> MakeTable() {
  return {
      Row<TBitmap>("bmp", fkBmp, "Bitmaps"),
      Row<TIcon>("ico", fkIcon, "Icons"),
      MetafileRow("emf", fkEmf, "Enhanced Metafiles"),
      MetafileRow("wmf", fkWmf, "Metafiles"),
      Row<TJPEGImage>("jpg", fkJpeg, "JPEG Image File"),
      Row<TJPEGImage>("jpeg", fkJpeg, "JPEG Image File"),
      Row<TGIFImage>("gif", fkGif, "GIF Image"),
      Row<TPngGraphic>("png", fkPng, "Portable Network Graphic"),
      Row<TTiffGraphic>("tif", fkTiff, "TIFF file"),
      Row<TTiffGraphic>("tiff", fkTiff, "TIFF file"),
      Row<TTgaGraphic>("vst", fkVst, "Truevision Vista"),
      Row<TTgaGraphic>("tga", fkTga, "Truevision Targa"),
      Row<TTgaGraphic>("afi", fkAfi, "Truevision Targa"),
      Row<TPcxGraphic>("pcc", fkPcc, "ZSoft PC Paintbrush"),
      Row<TPcxGraphic>("pcx", fkPcx, "ZSoft PC Paintbrush"),
      Row<TDcxGraphic>("dcx", fkDcx, "DCX file"),
      // The viewer's own additions, registered last.
      Row<TJPEGImage>("jpe", fkJpeg, "JPEG Image File"),
      Unread("wav", fkSound, "Sound WAVE File"),
  };
}

const bool registered = [] {
  RegisterFormatTable();
  return true;
}();

} // namespace

const std::vector<TFormatRow>& FormatTable() {
  static const std::vector<TFormatRow> table = MakeTable();
  return table;
}

const TFormatRow* FindFormatRow(const std::string& extensionOrPath) {
  std::string key = LowerExtension(extensionOrPath);
  if (key.empty() && extensionOrPath.find('/') == std::string::npos)
    key = LowerExtension("." + extensionOrPath);
  if (key.empty()) return nullptr;
  for (const TFormatRow& row : FormatTable())
    if (row.Extension == key) return &row;
  return nullptr;
}

TFileKind KindOfPath(const std::string& path) {
  const std::string extension = LowerExtension(path);
  const TFormatRow* row = extension.empty() ? nullptr : FindFormatRow("." + extension);
  return row ? row->Kind : fkNone;
}

void RegisterFormatTable() {
  for (const TFormatRow& row : FormatTable()) {
    if (!row.Class) continue;
    if (row.Kind == fkGif)
      TGIFImage::Register(); // with its clipboard format
    else
      TPicture::RegisterFileFormat(row.Extension, row.Description, *row.Class, row.Create);
  }
}

void RegisterFormatRow(const std::string& extension, std::type_index graphicClass,
                       TGraphicFactory create) {
  const TFormatRow* row = FindFormatRow("." + extension);
  if (!row) return;
  TPicture::RegisterFileFormat(row->Extension, row->Description, graphicClass, std::move(create));
}

std::vector<std::string> TableExtensions() {
  std::vector<std::string> extensions;
  for (const TFormatRow& row : FormatTable())
    extensions.push_back(row.Extension);
  return extensions;
}

std::string OpenFilter() {
  std::string filter = TPicture::GraphicFilter();
  const TFormatRow* sound = FindFormatRow(".wav");
  const std::string parts[] = {";*.wav", "|" + sound->Description + " (*.wav)|*.wav"};
  for (const std::string& part : parts) {
    for (size_t at = filter.find(part); at != std::string::npos; at = filter.find(part))
      filter.erase(at, part.size());
  }
  return filter;
}

} // namespace kestrel
