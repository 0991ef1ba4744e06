#include "processing/resample/FilteredStretch.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "processing/resample/StretchWeights.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>

// The filter loops use the SSE2 multiply-add of pairs of 16-bit values, which every x86-64
// processor has; elsewhere they are plain loops with the same results.
#if defined(__SSE2__) || defined(_M_X64)
#define KESTREL_STRETCH_SSE2 1
#include <emmintrin.h>
#else
#define KESTREL_STRETCH_SSE2 0
#endif

namespace kestrel {

namespace {

// Below this many multiply-adds a second thread costs more than it saves.
constexpr double kThreadedWork = 4e6;

inline uint8_t Fixed(int32_t sum, int precision) {
  const int32_t v = (sum + (int32_t(1) << (precision - 1))) >> precision;
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

#if KESTREL_STRETCH_SSE2
// Two weights in every pair of 16-bit lanes, for multiply-adds of two taps at once.
inline __m128i WeightPair(int16_t first, int16_t second) {
  return _mm_set1_epi32(static_cast<int32_t>(
      static_cast<uint16_t>(first) | static_cast<uint32_t>(static_cast<uint16_t>(second)) << 16));
}
#endif

// One row along: out pixel i is the weighted sum of the Taps pixels of in from First[i] on. in
// holds Taps pixels past the row's end, so every run reads inside it.
void FilterAlong(const uint8_t* in, uint8_t* out, const TStretchWeights& w) {
  const int taps = w.Taps, precision = w.Precision;
  for (int i = 0; i < w.Size(); ++i) {
    const uint8_t* p = in + 3 * static_cast<size_t>(w.First[static_cast<size_t>(i)]);
    const int16_t* k = w.Of(i);
#if KESTREL_STRETCH_SSE2
    // Two pixels at a time (Taps is even): their channels side by side in pairs, blue with blue,
    // green with green, red with red, multiplied by the two weights and added in one step.
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = _mm_set1_epi32(int32_t(1) << (precision - 1));
    for (int t = 0; t < taps; t += 2) {
      __m128i two;
      std::memcpy(&two, p + 3 * t, 8);
      two = _mm_unpacklo_epi8(two, zero);
      const __m128i pairs = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 6));
      sums = _mm_add_epi32(sums, _mm_madd_epi16(pairs, WeightPair(k[t], k[t + 1])));
    }
    sums = _mm_srai_epi32(sums, precision);
    sums = _mm_packs_epi32(sums, sums);
    const int32_t bgr = _mm_cvtsi128_si32(_mm_packus_epi16(sums, sums));
    std::memcpy(out + 3 * i, &bgr, 3);
#else
    int32_t b = 0, g = 0, r = 0;
    for (int t = 0; t < taps; ++t) {
      b += k[t] * p[3 * t];
      g += k[t] * p[3 * t + 1];
      r += k[t] * p[3 * t + 2];
    }
    out[3 * i] = Fixed(b, precision);
    out[3 * i + 1] = Fixed(g, precision);
    out[3 * i + 2] = Fixed(r, precision);
#endif
  }
}

// One row down: byte x of out is the weighted sum of byte x of count rows.
void FilterDown(const uint8_t* const* rows, const int16_t* k, int count, int precision,
                uint8_t* out, int bytes) {
  const int32_t half = int32_t(1) << (precision - 1);
  int x0 = 0;
#if KESTREL_STRETCH_SSE2
  // Sixteen bytes at a time, two rows at a time: the rows' bytes side by side in pairs,
  // multiplied by their two weights and added in one step.
  const __m128i zero = _mm_setzero_si128();
  for (; x0 + 16 <= bytes; x0 += 16) {
    __m128i s0 = _mm_set1_epi32(half), s1 = s0, s2 = s0, s3 = s0;
    for (int t = 0; t < count; t += 2) {
      const bool pair = t + 1 < count;
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + x0));
      const __m128i b =
          pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + x0)) : zero;
      const __m128i weights = WeightPair(k[t], pair ? k[t + 1] : 0);
      const __m128i low = _mm_unpacklo_epi8(a, b), high = _mm_unpackhi_epi8(a, b);
      s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), weights));
      s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), weights));
      s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), weights));
      s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), weights));
    }
    const __m128i words =
        _mm_packs_epi32(_mm_srai_epi32(s0, precision), _mm_srai_epi32(s1, precision));
    const __m128i more =
        _mm_packs_epi32(_mm_srai_epi32(s2, precision), _mm_srai_epi32(s3, precision));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x0), _mm_packus_epi16(words, more));
  }
#endif
  for (; x0 < bytes; ++x0) {
    int32_t sum = half;
    for (int t = 0; t < count; ++t)
      sum += k[t] * rows[t][x0];
    const int32_t v = sum >> precision;
    out[x0] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
}

// The two passes over a band of destination rows. Either direction may go first: the one that
// leaves the other less to do (a reduction of the height first shrinks the rows to filter along).
class TStretcher {
public:
  TStretcher(const TBitmap& source, TBitmap& destination, TResampleFilter filter)
      : source_(source),
        along_(MakeStretchWeights(source.Width(), destination.Width(), FilterInfo(filter))),
        down_(MakeStretchWeights(source.Height(), destination.Height(), FilterInfo(filter))) {
    const double sw = source.Width(), sh = source.Height();
    const double dw = destination.Width(), dh = destination.Height();
    // A tap along a row costs about three times one down a column: its pixel's three channels
    // are gathered, where down the column the bytes of many pixels go at once.
    const double along = 3.0 * along_.Taps, down = down_.Taps;
    const double alongFirst = sh * dw * along + dh * dw * down;
    const double downFirst = dh * sw * down + dh * dw * along;
    downFirst_ = downFirst <= alongFirst;
    work_ = std::min(alongFirst, downFirst);
    // The rows are found here, once: the threads then only read these tables.
    for (int y = 0; y < destination.Height(); ++y)
      out_.push_back(destination.ScanLine(y));
    width_ = destination.Width();
  }

  double Work() const { return work_; }

  // Makes destination rows [from, to).
  void Rows(int from, int to) const {
    if (downFirst_)
      DownThenAlong(from, to);
    else
      AlongThenDown(from, to);
  }

private:
  // A row buffer with room for the Taps pixels a run may read past the end.
  std::vector<uint8_t> Line(int width) const {
    return std::vector<uint8_t>(3 * (static_cast<size_t>(width) + along_.Taps), 0);
  }

  std::vector<const uint8_t*> SourceRows(int y) const {
    std::vector<const uint8_t*> rows;
    for (int t = 0; t < down_.Count[static_cast<size_t>(y)]; ++t)
      rows.push_back(source_.ScanLine(down_.First[static_cast<size_t>(y)] + t));
    return rows;
  }

  void DownThenAlong(int from, int to) const {
    std::vector<uint8_t> line = Line(source_.Width());
    const int bytes = 3 * source_.Width();
    for (int y = from; y < to; ++y) {
      const std::vector<const uint8_t*> rows = SourceRows(y);
      FilterDown(rows.data(), down_.Of(y), static_cast<int>(rows.size()), down_.Precision,
                 line.data(), bytes);
      FilterAlong(line.data(), out_[static_cast<size_t>(y)], along_);
    }
  }

  // The source rows filtered along are kept in a ring as long as the runs down still need them.
  void AlongThenDown(int from, int to) const {
    const int ringRows = down_.Taps + 1;
    const size_t lineBytes = 3 * static_cast<size_t>(width_);
    std::vector<uint8_t> ring(lineBytes * ringRows);
    std::vector<int> held(static_cast<size_t>(ringRows), -1);
    std::vector<uint8_t> line = Line(source_.Width());
    std::vector<const uint8_t*> rows(static_cast<size_t>(down_.Taps));
    const size_t sourceBytes = 3 * static_cast<size_t>(source_.Width());
    for (int y = from; y < to; ++y) {
      const int first = down_.First[static_cast<size_t>(y)];
      const int count = down_.Count[static_cast<size_t>(y)];
      for (int t = 0; t < count; ++t) {
        const int s = first + t;
        uint8_t* slot = ring.data() + lineBytes * static_cast<size_t>(s % ringRows);
        if (held[static_cast<size_t>(s % ringRows)] != s) {
          std::memcpy(line.data(), source_.ScanLine(s), sourceBytes);
          FilterAlong(line.data(), slot, along_);
          held[static_cast<size_t>(s % ringRows)] = s;
        }
        rows[static_cast<size_t>(t)] = slot;
      }
      FilterDown(rows.data(), down_.Of(y), count, down_.Precision, out_[static_cast<size_t>(y)],
                 static_cast<int>(lineBytes));
    }
  }

  const TBitmap& source_;
  std::vector<uint8_t*> out_;
  int width_ = 0;
  TStretchWeights along_;
  TStretchWeights down_;
  bool downFirst_ = false;
  double work_ = 0.0;
};

} // namespace

void FilteredStretch(const TBitmap& source, TBitmap& destination, TResampleFilter filter,
                     int threads) {
  if (source.Empty() || source.Width() < 1 || source.Height() < 1)
    throw Exception("Source bitmap too small");
  if (destination.Width() < 2 || destination.Height() < 2)
    throw Exception("Destination bitmap too small");
  // A 24-bit view of the source that shares its pixels when it is one already; it also keeps them
  // when the destination is the source itself.
  TBitmap from;
  from.Assign(&source);
  from.SetPixelFormat(pf24bit);
  destination.NewImage(destination.Width(), destination.Height(), pf24bit,
                       destination.OwnPalette());

  const TStretcher stretcher(from, destination, filter);
  const int height = destination.Height();
  if (threads <= 0)
    threads = stretcher.Work() >= kThreadedWork
                  ? static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 2u))
                  : 1;
  threads = std::min(threads, height);
  // Each thread makes a band of rows of its own; rows never depend on one another, so the bands
  // give the same pixels whoever makes them.
  const auto band = [&](int t) {
    stretcher.Rows(static_cast<int>(int64_t(height) * t / threads),
                   static_cast<int>(int64_t(height) * (t + 1) / threads));
  };
  std::vector<std::exception_ptr> failures(static_cast<size_t>(threads));
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t)
    helpers.emplace_back([&, t] {
      try {
        band(t);
      } catch (...) {
        failures[static_cast<size_t>(t)] = std::current_exception();
      }
    });
  try {
    band(0);
  } catch (...) {
    failures[0] = std::current_exception();
  }
  for (std::thread& helper : helpers)
    helper.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

} // namespace kestrel
