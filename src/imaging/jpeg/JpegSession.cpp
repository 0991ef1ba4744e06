#include "imaging/jpeg/JpegSession.h"

#include "imaging/core/ImageLimits.h"
#include "imaging/jpeg/JpegImage.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kestrel {

namespace {

// Far more scans than any encoder writes; damaged progressive files can otherwise ask for
// thousands, each a pass over the whole picture.
constexpr int kMaxScans = 500;

TJpegErrorState& StateOf(j_common_ptr cinfo) {
  return *reinterpret_cast<TJpegErrorState*>(cinfo->err);
}

void OnErrorExit(j_common_ptr cinfo) {
  TJpegErrorState& state = StateOf(cinfo);
  (*cinfo->err->format_message)(cinfo, state.Message);
  std::longjmp(state.Jump, 1);
}

// Called for the first warning (and for trace messages, which are off): keep it, print nothing.
void OnOutputMessage(j_common_ptr cinfo) {
  TJpegErrorState& state = StateOf(cinfo);
  if (!state.FirstWarning[0]) (*cinfo->err->format_message)(cinfo, state.FirstWarning);
}

void OnProgress(j_common_ptr cinfo) {
  const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number <= kMaxScans) return;
  TJpegErrorState& state = StateOf(cinfo);
  std::snprintf(state.Message, sizeof state.Message, "JPEG file has more than %d scans", kMaxScans);
  std::longjmp(state.Jump, 1);
}

jpeg_error_mgr* SetUpErrors(TJpegErrorState& state) {
  jpeg_error_mgr* manager = jpeg_std_error(&state.Manager);
  manager->error_exit = OnErrorExit;
  manager->output_message = OnOutputMessage;
  return manager;
}

} // namespace

TJpegDecompressSession::TJpegDecompressSession(std::span<const uint8_t> data) {
  cinfo_.err = SetUpErrors(error_);
  const bool made = TryRun([&] {
    jpeg_create_decompress(&cinfo_);
    jpeg_mem_src(&cinfo_, data.data(), static_cast<unsigned long>(data.size()));
  });
  if (!made) {
    jpeg_destroy_decompress(&cinfo_);
    Fail();
  }
  // libjpeg keeps no more than this for whole-picture buffers (progressive coefficients,
  // two-pass colour quantising); beyond it, it fails instead of allocating.
  cinfo_.mem->max_memory_to_use = static_cast<long>(
      std::min<uint64_t>(ImageLimits::MaxBytes(), static_cast<uint64_t>(LONG_MAX)));
  progress_.progress_monitor = OnProgress;
  cinfo_.progress = &progress_;
}

TJpegDecompressSession::~TJpegDecompressSession() {
  jpeg_destroy_decompress(&cinfo_);
}

void TJpegDecompressSession::Fail() const {
  throw EJpegError(error_.Message[0] ? error_.Message : "JPEG file is not valid");
}

TJpegCompressSession::TJpegCompressSession() {
  cinfo_.err = SetUpErrors(error_);
  const bool made = RunGuarded(error_.Jump, [&] {
    jpeg_create_compress(&cinfo_);
    jpeg_mem_dest(&cinfo_, &buffer_, &size_);
  });
  if (!made) {
    jpeg_destroy_compress(&cinfo_);
    std::free(buffer_);
    Fail();
  }
}

TJpegCompressSession::~TJpegCompressSession() {
  jpeg_destroy_compress(&cinfo_);
  std::free(buffer_);
}

void TJpegCompressSession::Fail() const {
  throw EJpegError(error_.Message[0] ? error_.Message : "JPEG compression failed");
}

} // namespace kestrel
