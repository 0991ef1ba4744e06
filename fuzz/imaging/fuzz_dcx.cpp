// DCX reader: the page count, the first pages, and appending a page to whatever the input holds
// either work or raise EDcxError / EBmodError.
#include "imaging/pcx/DcxGraphic.h"

#include "FuzzRoundTrip.h"

#include <algorithm>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::LimitPictureMemory();
  TSpanStream stream(data, size);
  int pages = 0;
  try {
    pages = TDcxGraphic().ImageCountInStream(stream);
  } catch (const Exception&) {
  }
  for (int page = 1; page <= std::min(pages, 3); ++page) {
    TDcxGraphic picture;
    stream.SetPosition(0);
    try {
      picture.SingleLoadFromStream(stream, page);
    } catch (const Exception&) {
    }
  }
  TMemoryStream file(std::vector<uint8_t>(data, data + size));
  TDcxGraphic added;
  added.NewImage(2, 1, ifColor256, nullptr, 72, 72);
  try {
    added.AppendToStream(file);
    file.SetPosition(0);
    if (TDcxGraphic().ImageCountInStream(file) < 1) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
