#pragma once
// The box resampler of the Resample window: the source is spread over an oversampled grid (each
// pixel repeated X times across, each row Y times down, by the sample rates) and every destination
// pixel is the mean of the grid samples that fall on it, in whole numbers rounded half up.
//
// Grid rows go to the nearest destination row; a destination row is made from the column means
// of its grid rows. Across, the grid is walked byte by byte: each destination pixel averages the
// colour of the last source pixel complete at each grid byte that falls on it. On a reduction the
// first and last destination pixels sit on the first and last source pixels; an enlargement is
// shifted left by a destination pixel per whole enlargement step, which makes up for the lag of
// that last complete pixel. With rates too low for an enlargement, destination pixels no sample
// reaches keep what the destination held (the background and the frame).
//
// It reads a 24-bit source and hands out finished destination rows one at a time, so that a worker
// thread can pass them to the window that shows them.

#include "imaging/core/Color.h"
#include "processing/resample/SampleRates.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestrel {

class TBitmap;

struct TBoxTarget {
  int Width = 1;  // at least 3
  int Height = 1; // at least 1
  TSampleRates Rates;
  TColor Background = clWhite;
  bool Frame = false; // a one-pixel blue frame round the destination before the work
};

// Whether the resampler can make target at all: a width of 3 or more and a height of 1 or more,
// within ImageLimits, and rates of at least 1.
bool BoxTargetValid(const TBoxTarget& target);

// Makes destination target.Width x target.Height, 24 bits per pixel, filled with the background and
// framed when asked: what the resampler's rows are then written over. Raises EInvalidGraphic when
// the memory cannot be had (the destination is then unchanged).
void PrepareBoxDestination(TBitmap& destination, const TBoxTarget& target);

class TBoxResampler {
public:
  // A destination row (3 x Width bytes, blue, green, red). A row handed out at a progress point or
  // on stopping holds the mean of the grid rows gathered so far; it is handed out again when done.
  using TRowSink = std::function<void(int row, const uint8_t* pixels)>;
  // Called at each twentieth of the grid rows with the percent done (5, 10, ...), after the row
  // being made has been handed out as it stands.
  using TProgress = std::function<void(int percent)>;

  // source must be 24 bits per pixel and not empty, target valid; the source must stay unchanged
  // while the resampler exists.
  TBoxResampler(const TBitmap& source, const TBoxTarget& target);

  // Makes the destination rows; returns false when stop was set (checked at every grid row) and
  // the work ended early, true when it ran to the end.
  bool Run(const TRowSink& sink, const TProgress& progress, const std::atomic<bool>& stop);

private:
  // Each destination pixel's samples: runs of (source pixel, count) in Samples from First[d] to
  // First[d + 1], Total samples in all.
  struct TSample {
    int Pixel;
    uint32_t Count;
  };
  void PlanColumns();
  void MakeRow(const std::vector<uint32_t>& sums, uint32_t rows, std::vector<uint8_t>& out);
  void MakeRowOf(const uint8_t* means, std::vector<uint8_t>& out) const;

  const TBitmap& source_;
  TBoxTarget target_;
  std::vector<TSample> samples_;
  std::vector<size_t> first_;
  std::vector<uint64_t> total_;
  std::vector<uint8_t> blank_; // a row as the destination was prepared (without its frame rows)
  std::vector<uint8_t> means_;
  std::vector<uint8_t> table_; // sum -> rounded mean for the present row count
  uint32_t tableRows_ = 0;
};

// Resizes source (any format) into destination at target with the box resampler, from start to
// end: for kestrel-tool and tests.
void BoxResample(const TBitmap& source, TBitmap& destination, const TBoxTarget& target);

} // namespace kestrel
