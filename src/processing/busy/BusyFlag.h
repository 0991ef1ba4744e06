#pragma once
// The process-wide not-busy flag. The rotation, the resampler and the picture index engine each
// claim it for the whole of their work, and refuse to start while another holds it. A claim is an
// object: the flag is free again however the work ends (finished, stopped or failed).

namespace kestrel {

class TBusyClaim {
public:
  // Claims the flag when it is free; Held() tells whether it was.
  TBusyClaim();
  ~TBusyClaim() { Release(); }
  TBusyClaim(TBusyClaim&& other) noexcept : held_(other.held_) { other.held_ = false; }
  TBusyClaim& operator=(TBusyClaim&& other) noexcept;
  TBusyClaim(const TBusyClaim&) = delete;
  TBusyClaim& operator=(const TBusyClaim&) = delete;

  bool Held() const { return held_; }
  void Release();

  // Nothing holds the flag.
  static bool NotBusy();

private:
  bool held_ = false;
};

} // namespace kestrel
