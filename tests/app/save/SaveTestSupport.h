#pragma once
// Helpers of the save tests: questions answered from a script and recorded, test pictures, and
// reading written files back with our readers.

#include "app/save/ImageSaver.h"
#include "app/save/SaveQuestions.h"
#include "imaging/core/Bitmap.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::test {

// Answers the save's questions in order from scripted answers, and records what was asked and
// told.
class TScriptedQuestions : public TSaveQuestions {
public:
  std::deque<TCompressAnswer> Compression; // answers to the compression window, in order
  std::deque<std::pair<bool, TJpegSaveOptions>> Jpeg;
  std::vector<TCompressUse> AskedUses;
  std::vector<int> AskedDepths;
  int JpegAsked = 0;
  std::vector<std::string> Told; // "caption|text"

  bool AskJpegOptions(TJpegSaveOptions& options) override;
  TCompressAnswer AskCompression(TCompressUse use, const TBitmap& source, int depthCode,
                                 bool synthesized) override;
  void Tell(const std::string& text, const std::string& caption) override;
};

// A file under tests/data.
std::string DataPath(const std::string& relative);

// A width x height bitmap of format: palette formats get a palette of distinct colours and
// indices that run through it; direct formats a colour gradient.
std::unique_ptr<TBitmap> TestPicture(int width, int height, TPixelFormat format);
// A bitmap of one colour.
std::unique_ptr<TBitmap> PlainPicture(int width, int height, TPixelFormat format, TColor color);

// The pixels of a bitmap as 0x00RRGGBB, row by row from the top.
std::vector<TPixelColor> PixelsOf(const TBitmap& bitmap);
// A written file read back through the picture registry, as a device bitmap of its pixels.
std::unique_ptr<TBitmap> ReadBack(const std::string& path);
// The first bytes of a file.
std::string FileStart(const std::string& path, int count);
// Distinct colours of a bitmap.
int ColorCount(const TBitmap& bitmap);

} // namespace kestrel::test
