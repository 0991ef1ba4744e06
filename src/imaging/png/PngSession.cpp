#include "imaging/png/PngSession.h"

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <cstdio>
#include <exception>

namespace kestrel {

TPngSession::TPngSession(TMode mode, TStream& stream) : mode_(mode), stream_(stream) {
  const bool reading = mode == TMode::Read;
  png_ = reading ? png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning)
                 : png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
  if (!png_)
    throw EPNGError(reading ? "png_create_read_struct failed" : "png_create_write_struct failed");
  info_ = png_create_info_struct(png_);
  if (!info_) {
    Destroy();
    throw EPNGError("png_create_info_struct failed");
  }
  if (reading) {
    png_set_read_fn(png_, this, OnRead);
    // The sides the image model can hold; libpng's own limit is larger.
    png_set_user_limits(png_, ImageLimits::kMaxDimension, ImageLimits::kMaxDimension);
  } else {
    png_set_write_fn(png_, this, OnWrite, OnFlush);
  }
}

TPngSession::~TPngSession() {
  Destroy();
}

void TPngSession::Destroy() {
  if (!png_) return;
  if (mode_ == TMode::Read)
    png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
  else
    png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
  png_ = nullptr;
  info_ = nullptr;
}

TPngSession& TPngSession::Of(png_structp png) {
  return *static_cast<TPngSession*>(png_get_error_ptr(png));
}

void TPngSession::Abort(const char* message) {
  // png_error calls OnError, which keeps the first message recorded here.
  if (!message_[0]) std::snprintf(message_, sizeof message_, "%s", message);
  png_error(png_, message_);
}

void TPngSession::Fail() const {
  throw EPNGError(message_[0] ? message_ : "PNG file is not valid or corrupted");
}

void TPngSession::OnError(png_structp png, png_const_charp message) {
  TPngSession& s = Of(png);
  if (!s.message_[0]) std::snprintf(s.message_, sizeof s.message_, "%s", message);
  png_longjmp(png, 1);
}

void TPngSession::OnWarning(png_structp, png_const_charp message) {
  try {
    TPngGraphic::Warn(message);
  } catch (...) {
    // A warning never stops the work.
  }
}

void TPngSession::OnRead(png_structp png, png_bytep data, size_t length) {
  TPngSession& s = *static_cast<TPngSession*>(png_get_io_ptr(png));
  char failure[sizeof s.message_] = {};
  int64_t got = 0;
  try {
    got = s.stream_.Read(data, static_cast<int64_t>(length));
  } catch (const std::exception& e) {
    std::snprintf(failure, sizeof failure, "%s", e.what());
  } catch (...) {
    std::snprintf(failure, sizeof failure, "%s", "PNG stream cannot be read");
  }
  // Jump only outside the catch block, so the exception object is released first.
  if (failure[0]) s.Abort(failure);
  if (got != static_cast<int64_t>(length)) s.Abort("PNG file is truncated");
}

void TPngSession::OnWrite(png_structp png, png_bytep data, size_t length) {
  TPngSession& s = *static_cast<TPngSession*>(png_get_io_ptr(png));
  char failure[sizeof s.message_] = {};
  try {
    s.stream_.WriteBuffer(data, static_cast<int64_t>(length));
  } catch (const std::exception& e) {
    std::snprintf(failure, sizeof failure, "%s", e.what());
  } catch (...) {
    std::snprintf(failure, sizeof failure, "%s", "PNG stream cannot be written");
  }
  if (failure[0]) s.Abort(failure);
}

void TPngSession::OnFlush(png_structp) {}

} // namespace kestrel
