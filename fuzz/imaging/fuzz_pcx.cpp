// PC Paintbrush reader: any input loads or raises EBmodError; what loads writes and reads back
// to the same pixels.
#include "imaging/pcx/PcxGraphic.h"

#include "FuzzRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kestrel::fuzz::LimitPictureMemory();
  kestrel::fuzz::LoadAndRoundTrip<kestrel::TPcxGraphic>(data, size);
  return 0;
}
