#pragma once
// An encoder that sends runs of one colour through LZW codes while never relying on strings other
// than runs of that colour, so every decoder reads its output. After a clear it builds a table of
// runs 1, 2, 3 ... long (each code the previous string plus its own first pixel) and then sends a
// long run with the longest of them; it clears the table again when that is cheaper.

#include "imaging/gif/GIFEncoder.h"

namespace kestrel {

class TRLEEncoder : public TGIFEncoder {
public:
  // Codes needed to send a run of count pixels from a freshly cleared table when at most
  // maxCodes codes fit between two clears.
  static uint64_t Triangle(uint64_t count, uint64_t maxCodes);

protected:
  void Compress() override;

private:
  void DidClear();
  void OutputPlain(int code);
  void Flush(uint64_t count);
  void FlushFromClear(uint64_t count);
  void FlushClearOrRepeat(uint64_t count);
  void FlushWithTable(uint64_t count);
  void RestoreClearThreshold();
  uint64_t Triangle(uint64_t count) const { return Triangle(count, maxOutputCodes_); }

  uint64_t maxOutputCodes_ = 0; // codes between two clears, so the table never fills
  uint64_t bumpInitial_ = 0;
  uint64_t clearInitial_ = 0;
  int runPixel_ = 0;
  uint64_t runCount_ = 0;
  uint64_t runTableMax_ = 0; // the longest run the decoder's table holds now
  int runTablePixel_ = 0;    // and the colour of its runs
  uint64_t outputCount_ = 0; // codes sent since the last clear
  uint64_t bump_ = 0;        // output count at which the code size grows
  uint64_t clearAt_ = 0;     // output count at which the table is cleared
};

} // namespace kestrel
