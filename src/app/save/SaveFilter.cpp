#include "app/save/SaveFilter.h"

#include "imaging/formats/FormatTable.h"

#include <QFileInfo>

#include <utility>

namespace kestrel {

const std::vector<std::string>& SaveFilterEntries() {
  static const std::vector<std::string> entries = {
      "Windows  Bitmap File (*.bmp)|*.bmp|",
      "Jpeg File (*.jpg, *.jpeg, *.jpe)|*.jpg;*.jpeg;*.jpe|",
      "Windows Icon (*.ico)|*.ico|",
      "Windows Metafile (*.wmf)|*.wmf|",
      "Enhanced Metafile (*.emf)|*.emf|",
      "Portable Network Graphic  (*.png)|*.png|",
      "Tagged Image Format  (*.tif,*.tiff)|*.tif;*.tiff|",
      "Truevision TARGA (*.tga)|*.tga|",
      "Truevision VISTA (*.vst)|*.vst|",
      "Truevision TARGA (*.afi)|*.afi|",
      "Paintbrush PCC File (*.pcc)|*.pcc|",
      "Paintbrush PCX File (*.pcx)|*.pcx|",
      "DCX File (*.dcx)|*.dcx|",
      "All Files (*.*)|*.*"};
  return entries;
}

std::string SaveFilter() {
  std::string filter;
  for (const std::string& entry : SaveFilterEntries())
    filter += entry;
  return filter;
}

int FilterIndexFor(const std::string& name) {
  static const std::pair<TFileKind, int> kIndexes[] = {
      {fkBmp, 1},  {fkJpeg, 2}, {fkGif, 3},  {fkIcon, 3}, {fkWmf, 4},
      {fkEmf, 5},  {fkPng, 6},  {fkTiff, 7}, {fkTga, 8},  {fkVst, 9},
      {fkAfi, 10}, {fkPcc, 11}, {fkPcx, 12}, {fkDcx, 13}, {fkSound, 14}};
  const TFileKind kind = KindOfPath(name);
  for (const auto& [k, index] : kIndexes)
    if (k == kind) return index;
  return 15;
}

QString ProposedSaveName(const QStringList& selectedFiles, const QString& caption) {
  if (!selectedFiles.isEmpty()) return selectedFiles.first();
  if (!caption.isEmpty() && QFileInfo(caption).isFile()) return caption;
  return "unknown.bmp";
}

} // namespace kestrel
