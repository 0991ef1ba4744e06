#include "cli/FramesCommand.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFImage.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <fstream>
#include <ostream>
#include <vector>

namespace kestrel {

namespace {

// Frame numbers padded so the files sort in playing order.
std::string FrameName(int number, int count) {
  const int digits = std::max(3, static_cast<int>(std::to_string(std::max(count - 1, 0)).size()));
  std::string text = std::to_string(number);
  return "frame-" + std::string(static_cast<size_t>(std::max(0, digits - int(text.size()))), '0') +
         text + ".bmp";
}

} // namespace

void WriteFrames(const std::string& input, const std::string& folder, std::ostream& out) {
  TGIFImage image;
  image.LoadFromFile(input);
  if (image.FrameCount() == 0) throw EInvalidGraphic("The GIF file holds no frame");
  if (!QDir().mkpath(QString::fromStdString(folder)))
    throw EStreamError("Cannot create the folder " + folder);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.Canvas().Brush.Color = image.EffectiveBackgroundColor();
  target.SetSize(image.Width(), image.Height());

  // One pass, frames through their masks and the screen cleared first, played on a clock that
  // does not wait.
  const TGIFDrawOptions options = gdAnimate | gdTransparent | gdClearOnPass;
  TGIFPainter painter(image, target.Canvas(), {0, 0, image.Width(), image.Height()}, options,
                      std::make_shared<TGIFVirtualClock>());
  std::string failure;
  image.OnWarning = [&failure](const void*, TGIFSeverity severity, const std::string& message) {
    if (severity == TGIFSeverity::Error && failure.empty()) failure = message;
  };
  std::vector<std::string> delays;
  const int count = image.FrameCount();
  painter.OnAfterPaint = [&](TGIFPainter& p) {
    const std::string name = FrameName(static_cast<int>(delays.size()), count);
    target.SaveToFile(folder + "/" + name);
    delays.push_back(name + " " + std::to_string(p.FrameWait() / 1000));
  };
  painter.Start();
  if (!failure.empty()) throw EInvalidGraphic(failure);

  std::ofstream list(folder + "/delays.txt");
  for (const std::string& line : delays)
    list << line << "\n";
  list.close();
  if (!list) throw EStreamError("Cannot write " + folder + "/delays.txt");
  out << delays.size() << " frames written to " << folder << "\n";
}

} // namespace kestrel
