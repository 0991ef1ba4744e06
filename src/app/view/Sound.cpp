#include "app/view/Sound.h"

#include "imaging/core/Picture.h"
#include "imaging/jpeg/JpegImage.h"

namespace kestrel {

void RegisterViewerFormats() {
  TPicture::RegisterFileFormat<TJPEGImage>("jpe", "JPEG Image File");
  TPicture::RegisterFileFormat<TSound>("wav", "Sound WAVE File");
}

} // namespace kestrel
