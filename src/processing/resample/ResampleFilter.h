#pragma once
// The seven kernels of the filtered stretch. Each is a function of the distance x (in source
// pixels) from the centre of the pixel being made, 0 at and beyond its support.

namespace kestrel {

enum class TResampleFilter { Box, Triangle, Hermite, Bell, BSpline, Lanczos3, Mitchell };
constexpr int kResampleFilterCount = 7;

struct TResampleFilterInfo {
  const char* Name; // as shown to the user: "Box", "Triangle", ... "B-Spline", ... "Mitchell"
  double Support;   // radius beyond which the kernel is 0
  double (*Kernel)(double x);
};

// The filters in the order of TResampleFilter.
const TResampleFilterInfo& FilterInfo(TResampleFilter filter);

} // namespace kestrel
