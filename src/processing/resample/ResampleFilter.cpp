#include "processing/resample/ResampleFilter.h"

#include <cmath>
#include <numbers>

namespace kestrel {

namespace {

// 1 on (-0.5, 0.5], so that a pixel half-way between two source pixels takes the right one.
double Box(double x) {
  return x > -0.5 && x <= 0.5 ? 1.0 : 0.0;
}

double Triangle(double x) {
  const double a = std::fabs(x);
  return a < 1.0 ? 1.0 - a : 0.0;
}

double Hermite(double x) {
  const double a = std::fabs(x);
  return a < 1.0 ? (2.0 * a - 3.0) * a * a + 1.0 : 0.0;
}

double Bell(double x) {
  const double a = std::fabs(x);
  if (a < 0.5) return 0.75 - a * a;
  if (a < 1.5) return 0.5 * (a - 1.5) * (a - 1.5);
  return 0.0;
}

double BSpline(double x) {
  const double a = std::fabs(x);
  if (a < 1.0) return 0.5 * a * a * a - a * a + 2.0 / 3.0;
  if (a < 2.0) return (2.0 - a) * (2.0 - a) * (2.0 - a) / 6.0;
  return 0.0;
}

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

double Lanczos3(double x) {
  return std::fabs(x) < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0;
}

// The cubic with B = C = 1/3.
double Mitchell(double x) {
  const double a = std::fabs(x);
  if (a < 1.0) return (7.0 * a * a * a - 12.0 * a * a + 16.0 / 3.0) / 6.0;
  if (a < 2.0) return (-7.0 / 3.0 * a * a * a + 12.0 * a * a - 20.0 * a + 32.0 / 3.0) / 6.0;
  return 0.0;
}

constexpr TResampleFilterInfo kFilters[kResampleFilterCount] = {
    {"Box", 0.5, Box},          {"Triangle", 1.0, Triangle}, {"Hermite", 1.0, Hermite},
    {"Bell", 1.5, Bell},        {"B-Spline", 2.0, BSpline},  {"Lanczos3", 3.0, Lanczos3},
    {"Mitchell", 2.0, Mitchell}};

} // namespace

const TResampleFilterInfo& FilterInfo(TResampleFilter filter) {
  return kFilters[static_cast<int>(filter)];
}

} // namespace kestrel
