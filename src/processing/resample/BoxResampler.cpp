#include "processing/resample/BoxResampler.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/ImageLimits.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

// a / b rounded half up, for the grid positions (whose products need 64 bits on large pictures).
inline int64_t Half(int64_t a, int64_t b) {
  return (a + b / 2) / b;
}

// Division rounded half up by a divisor fixed for many numerators: by a multiplication where the
// numerators stay below 2^31 (exact there: the multiplier is 2^(31 + s) / d rounded up, with
// 2^s >= d), by a plain division where they may not.
class THalfDivider {
public:
  THalfDivider(uint64_t divisor, uint64_t largestNumerator) : divisor_(divisor) {
    fast_ = largestNumerator + divisor / 2 < (uint64_t(1) << 31);
    while ((uint64_t(1) << shift_) < divisor)
      ++shift_;
    multiplier_ = ((uint64_t(1) << (31 + shift_)) / divisor) + 1;
    shift_ += 31;
  }
  uint64_t operator()(uint64_t a) const {
    const uint64_t n = a + divisor_ / 2;
    return fast_ ? (n * multiplier_) >> shift_ : n / divisor_;
  }

private:
  uint64_t divisor_;
  uint64_t multiplier_ = 0;
  int shift_ = 0;
  bool fast_ = false;
};

constexpr uint8_t kFrameBlue[3] = {0xFF, 0x00, 0x00}; // blue, green, red bytes of clBlue

// Sums of a row count this large get a table of their means; larger counts divide.
constexpr uint32_t kMeanTableRows = 256;

} // namespace

bool BoxTargetValid(const TBoxTarget& target) {
  return target.Width >= 3 && target.Height >= 1 && target.Rates.X >= 1 && target.Rates.Y >= 1 &&
         ImageLimits::Fits(target.Width, target.Height, 24);
}

void PrepareBoxDestination(TBitmap& destination, const TBoxTarget& target) {
  TBitmap prepared;
  prepared.NewImage(target.Width, target.Height, pf24bit, destination.OwnPalette());
  TCanvas& canvas = prepared.Canvas();
  canvas.Brush.Color = target.Background;
  canvas.FillRect({0, 0, target.Width, target.Height});
  if (target.Frame) {
    canvas.Brush.Color = clBlue;
    canvas.FrameRect({0, 0, target.Width, target.Height});
  }
  destination.Assign(&prepared);
}

TBoxResampler::TBoxResampler(const TBitmap& source, const TBoxTarget& target)
    : source_(source), target_(target) {
  PlanColumns();
  // A middle row as prepared: the background, framed at both ends when asked.
  const TPixelColor background = PixelColorOf(ColorToRgb(target.Background));
  blank_.resize(3 * static_cast<size_t>(target.Width));
  for (int x = 0; x < target.Width; ++x) {
    blank_[3 * x] = static_cast<uint8_t>(background);
    blank_[3 * x + 1] = static_cast<uint8_t>(background >> 8);
    blank_[3 * x + 2] = static_cast<uint8_t>(background >> 16);
  }
  if (target.Frame) {
    std::memcpy(blank_.data(), kFrameBlue, 3);
    std::memcpy(blank_.data() + blank_.size() - 3, kFrameBlue, 3);
  }
  means_.resize(3 * static_cast<size_t>(source.Width()));
}

// The walk along a grid row, done once for all rows: grid byte h falls on destination byte
// M = h x TW' / VW (TW' is one less than the width on a reduction, so that the last pixels meet)
// and on pixel M / 3 less the enlargement's shift; it samples the last source pixel whose three
// bytes the walk has passed by then (the first pixel until one is complete, the last one past the
// row's end). The walk goes on past the grid until the last destination pixel is full.
void TBoxResampler::PlanColumns() {
  const int64_t w = source_.Width(), x = target_.Rates.X, width = target_.Width;
  const int64_t virtualWidth = w * x;
  const int64_t scaled = w >= width ? width - 1 : width;
  const int64_t shift = scaled / (w + 1);
  const int64_t right = 3 * (width + shift);
  first_.assign(static_cast<size_t>(width) + 1, 0);
  int64_t pixelAt = -1;
  int last = -1;
  for (int64_t h = 0;; ++h) {
    const int64_t m = Half(h * scaled, virtualWidth);
    const int64_t d = m / 3 - shift;
    if (m > right || d >= width) break;
    if (d < 0) continue;
    const int64_t b = h / x;
    const int pixel = b < 2 ? 0 : static_cast<int>(std::min((b - 2) / 3, w - 1));
    for (; pixelAt < d; ++pixelAt, last = -1)
      first_[static_cast<size_t>(pixelAt + 1)] = samples_.size();
    if (pixel == last)
      ++samples_.back().Count;
    else
      samples_.push_back({pixel, 1});
    last = pixel;
  }
  for (; pixelAt < width; ++pixelAt)
    first_[static_cast<size_t>(pixelAt + 1)] = samples_.size();
  total_.assign(static_cast<size_t>(width), 0);
  for (int64_t d = 0; d < width; ++d)
    for (size_t i = first_[static_cast<size_t>(d)]; i < first_[static_cast<size_t>(d + 1)]; ++i)
      total_[static_cast<size_t>(d)] += samples_[i].Count;
}

// One destination row from the column means: each reached pixel the rounded mean of its samples.
void TBoxResampler::MakeRowOf(const uint8_t* means, std::vector<uint8_t>& out) const {
  for (int d = 0; d < target_.Width; ++d) {
    const size_t from = first_[static_cast<size_t>(d)], to = first_[static_cast<size_t>(d) + 1];
    if (from == to) continue;
    uint64_t b = 0, g = 0, r = 0;
    for (size_t i = from; i < to; ++i) {
      const uint8_t* p = means + 3 * static_cast<size_t>(samples_[i].Pixel);
      b += samples_[i].Count * p[0];
      g += samples_[i].Count * p[1];
      r += samples_[i].Count * p[2];
    }
    const uint64_t total = total_[static_cast<size_t>(d)];
    const THalfDivider mean(total, 255 * total);
    out[3 * d] = static_cast<uint8_t>(mean(b));
    out[3 * d + 1] = static_cast<uint8_t>(mean(g));
    out[3 * d + 2] = static_cast<uint8_t>(mean(r));
  }
}

void TBoxResampler::MakeRow(const std::vector<uint32_t>& sums, uint32_t rows,
                            std::vector<uint8_t>& out) {
  const size_t bytes = sums.size();
  if (rows == 1) {
    for (size_t i = 0; i < bytes; ++i)
      means_[i] = static_cast<uint8_t>(sums[i]);
  } else if (rows <= kMeanTableRows) {
    if (tableRows_ != rows) {
      table_.resize(255 * static_cast<size_t>(rows) + 1);
      const THalfDivider mean(rows, 255 * rows);
      for (size_t s = 0; s < table_.size(); ++s)
        table_[s] = static_cast<uint8_t>(mean(s));
      tableRows_ = rows;
    }
    for (size_t i = 0; i < bytes; ++i)
      means_[i] = table_[sums[i]];
  } else {
    const THalfDivider mean(rows, 255 * uint64_t(rows));
    for (size_t i = 0; i < bytes; ++i)
      means_[i] = static_cast<uint8_t>(mean(sums[i]));
  }
  MakeRowOf(means_.data(), out);
}

bool TBoxResampler::Run(const TRowSink& sink, const TProgress& progress,
                        const std::atomic<bool>& stop) {
  const int64_t h = source_.Height(), y = target_.Rates.Y, height = target_.Height;
  const int64_t virtualHeight = h * y;
  const int64_t scaled = h > height ? height - 1 : height;
  const size_t bytes = 3 * static_cast<size_t>(source_.Width());
  const int64_t step = std::max<int64_t>(1, (virtualHeight - 1) / 20);
  int64_t next = step;
  int percent = 0;

  std::vector<uint32_t> sums(bytes);
  std::vector<uint8_t> out;
  int64_t row = -1;    // the destination row being gathered
  uint32_t rows = 0;   // grid rows gathered into it
  int64_t single = -1; // the one source row all of them come from, -1 when they mix
  // The last row made from a single source row: a row of the same source and kind is a copy.
  int64_t madeFrom = -1;
  bool madeFramed = false;
  std::vector<uint8_t> made;

  const auto framed = [&](int64_t d) { return target_.Frame && (d == 0 || d == height - 1); };
  const auto handOut = [&] {
    const bool frame = framed(row);
    if (single >= 0 && single == madeFrom && frame == madeFramed) {
      sink(static_cast<int>(row), made.data());
      return;
    }
    if (frame)
      for (size_t i = 0; i < blank_.size(); i += 3)
        std::memcpy(out.data() + i, kFrameBlue, 3);
    else
      out = blank_;
    if (single >= 0)
      MakeRowOf(source_.ScanLine(static_cast<int>(single)), out);
    else
      MakeRow(sums, rows, out);
    if (single >= 0 && rows > 0) {
      made = out;
      madeFrom = single;
      madeFramed = frame;
    }
    sink(static_cast<int>(row), out.data());
  };

  out = blank_;
  for (int64_t v = 0; v < virtualHeight; ++v) {
    const int64_t d = Half(v * scaled, virtualHeight);
    if (d != row) {
      if (rows > 0) handOut();
      row = d;
      rows = 0;
    }
    if (d >= height) break;
    const int64_t s = v / y;
    const uint8_t* line = source_.ScanLine(static_cast<int>(s));
    if (rows == 0) {
      for (size_t i = 0; i < bytes; ++i)
        sums[i] = line[i];
      single = s;
    } else {
      for (size_t i = 0; i < bytes; ++i)
        sums[i] += line[i];
      if (s != single) single = -1;
    }
    ++rows;
    if (v == next) {
      next += step;
      handOut();
      percent = std::min(percent + 5, 100);
      progress(percent);
    }
    if (stop.load(std::memory_order_relaxed)) {
      handOut();
      return false;
    }
  }
  if (rows > 0 && row < height) handOut();
  return true;
}

void BoxResample(const TBitmap& source, TBitmap& destination, const TBoxTarget& target) {
  TBitmap from;
  from.Assign(&source);
  from.SetPixelFormat(pf24bit);
  PrepareBoxDestination(destination, target);
  std::vector<uint8_t*> rows;
  for (int y = 0; y < destination.Height(); ++y)
    rows.push_back(destination.ScanLine(y));
  const std::atomic<bool> never{false};
  TBoxResampler(from, target)
      .Run(
          [&](int row, const uint8_t* pixels) {
            std::memcpy(rows[static_cast<size_t>(row)], pixels,
                        3 * static_cast<size_t>(target.Width));
          },
          [](int) {}, never);
}

} // namespace kestrel
