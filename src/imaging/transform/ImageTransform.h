#pragma once
// TImageTransform: the base of the image library's transforms over a TDibGraphic. A transform
// either changes a picture in place (Apply) or writes the transformed source into another
// picture (ApplyOnDest); each derived class overrides at least one of the two in terms of the
// other. Progress goes to an optional handler as whole percentages, each value once in a row.

#include <cstdint>
#include <functional>

namespace kestrel {

class TDibGraphic;

class TImageTransform {
public:
  using TProgressHandler = std::function<void(TImageTransform& sender, int percent)>;

  virtual ~TImageTransform() = default;
  virtual const char* ClassName() const { return "TImageTransform"; }

  // Transforms graphic in place: ApplyOnDest into a temporary picture, then graphic takes a copy
  // of it.
  virtual void Apply(TDibGraphic& graphic);
  // Writes the transformed source into dest. Here it raises EZeduziziError
  // "Method ApplyOnDest not implemented for <class> class".
  virtual void ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest);

  TProgressHandler OnProgress;

protected:
  // Reports (current - minimum) * 100 / (maximum - minimum), clamped to 0..100 (0 for an empty
  // range), to the handler when it differs from the last value reported; does nothing without a
  // handler.
  void ReportProgress(int64_t current, int64_t minimum, int64_t maximum);
  // Forgets the last value, so that the next report always reaches the handler.
  void ResetProgress() { lastPercent_ = kNothingReported; }

private:
  static constexpr uint8_t kNothingReported = 255;
  uint8_t lastPercent_ = kNothingReported;
};

} // namespace kestrel
