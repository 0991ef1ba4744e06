#include "desktop/install/FileTypes.h"

#include "desktop/install/MimeData.h"

#include <utility>

namespace kestrel {
namespace {

// (group, type) in the list's order.
const std::vector<std::pair<QString, QString>>& MimeList() {
  static const std::vector<std::pair<QString, QString>> list = [] {
    std::vector<std::pair<QString, QString>> entries;
    for (const QString& entry : QString(kMimeTypeList).split(',', Qt::SkipEmptyParts))
      entries.emplace_back(entry.section(':', 0, 0), entry.section(':', 1));
    return entries;
  }();
  return list;
}

} // namespace

const std::vector<TFileTypeBox>& FileTypeBoxes() {
  static const std::vector<TFileTypeBox> boxes = {
      {"jpeg", "ChkJpeg", "JPEG (.jpg, jpeg, .jpe)", 2},
      {"gif", "ChkGif", "GIF (.gif)", 4},
      {"png", "ChkPng", "PNG (.png)", 16},
      {"tiff", "ChkTiff", "TIFF(.tiff)", 32},
      {"wmf", "ChkWmf", "Metafile (.wmf, .emf)", 8},
      {"dcx", "ChkDcx", "DCX (.dcx)", 2048},
      {"pcx", "ChkPcx", "PCX (.pcx)", 1024},
      {"pcc", "ChkPcc", "PCC (.pcc)", 512},
      {"afi", "ChkAfi", " AFI (.afi)", 256},
      {"vst", "ChkVst", "Vista (.vst)", 128},
      {"tga", "ChkTga", "Targa (.tga)", 64},
      {"bmp", "ChkBitmap", "Bitmap (.bmp)", 1},
  };
  return boxes;
}

QStringList AllMimeTypes() {
  QStringList types;
  for (const auto& [group, type] : MimeList())
    types << type;
  return types;
}

QStringList MimeTypesOf(const QString& group) {
  QStringList types;
  for (const auto& [entryGroup, type] : MimeList())
    if (entryGroup == group) types << type;
  return types;
}

QStringList DefaultTypes(int extensionBits) {
  QStringList groups;
  for (const TFileTypeBox& box : FileTypeBoxes())
    if (extensionBits & box.Bit) groups << box.Group;
  QStringList types;
  for (const auto& [group, type] : MimeList())
    if (groups.contains(group)) types << type;
  return types;
}

} // namespace kestrel
