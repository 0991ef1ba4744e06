#include "app/view/PictureLoader.h"

#include <memory>

namespace kestrel {

TLoadResult LoadPictureFile(const TLoadRequest& request) {
  TLoadResult result;
  result.Read = ReadPictureFile(request.Path, request.ScreenDepth);
  TGraphic* graphic = result.Read.Graphic.get();
  if (!graphic) return result;
  try {
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
      request.Jpeg.ApplyTo(jpeg);
      jpeg->DIBNeeded();
    }
  } catch (const std::exception& error) {
    result.Read.Graphic.reset();
    result.Read.Error = QString::fromStdString(error.what());
    return result;
  }
  result.Synthesis = SynthesizePalette(*graphic, request.ScreenDepth, request.PreservePixels);
  return result;
}

TPictureLoader::TPictureLoader(QObject* parent) : QObject(parent) {
  // One reader: a newer request waits for the current file rather than competing for memory.
  pool_.setMaxThreadCount(1);
}

TPictureLoader::~TPictureLoader() {
  Cancel();
  pool_.clear();
  pool_.waitForDone();
}

void TPictureLoader::Start(TLoadRequest request, TDone done) {
  const uint64_t generation = ++generation_;
  pending_ = generation;
  done_ = std::move(done);
  pool_.start([this, generation, request = std::move(request)] {
    if (generation != generation_) return; // overtaken before it began
    auto result = std::make_shared<TLoadResult>(LoadPictureFile(request));
    QMetaObject::invokeMethod(
        this, [this, generation, result] { Finished(generation, std::move(*result)); },
        Qt::QueuedConnection);
  });
}

void TPictureLoader::Cancel() {
  ++generation_;
  pending_ = 0;
  done_ = nullptr;
}

void TPictureLoader::Finished(uint64_t generation, TLoadResult&& result) {
  if (generation != pending_) return;
  pending_ = 0;
  TDone done = std::move(done_);
  done_ = nullptr;
  if (done) done(std::move(result));
}

} // namespace kestrel
