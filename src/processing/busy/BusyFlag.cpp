#include "processing/busy/BusyFlag.h"

#include <atomic>

namespace kestrel {

namespace {

std::atomic<bool> notBusy{true};

} // namespace

TBusyClaim::TBusyClaim() {
  bool expected = true;
  held_ = notBusy.compare_exchange_strong(expected, false);
}

TBusyClaim& TBusyClaim::operator=(TBusyClaim&& other) noexcept {
  if (this != &other) {
    Release();
    held_ = other.held_;
    other.held_ = false;
  }
  return *this;
}

void TBusyClaim::Release() {
  if (held_) notBusy.store(true);
  held_ = false;
}

bool TBusyClaim::NotBusy() {
  return notBusy.load();
}

} // namespace kestrel
