#pragma once
// Data sub-blocks of a GIF file: a length byte 1..255 followed by that many bytes, ended by a
// zero-length block. The reader and writer frame the coded pixel data in these blocks, so the
// coders above them see one continuous byte stream.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFWarning.h"

#include <cstdint>
#include <memory>

namespace kestrel {

// Base of the sub-block reader and writer. It is a stream only in name: the plain stream
// operations raise, because reading or seeking across block framing would corrupt it.
class TGIFStream : public TStream {
public:
  TGIFStream(TStream& stream, TGIFWarning warning)
      : stream_(stream), warning_(std::move(warning)) {}
  TGIFStream(const TGIFStream&) = delete;
  TGIFStream& operator=(const TGIFStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;

  const TGIFWarning& OnWarning() const { return warning_; }

protected:
  void Warning(const std::string& message) { NotifyGIFWarning(warning_, this, message); }

  TStream& stream_;

private:
  TGIFWarning warning_;
};

// Reads the data bytes of a run of sub-blocks, whole sub-blocks at a time, and stops at the
// zero-length block so the underlying stream is left just after it.
class TGIFReader : public TGIFStream {
public:
  static constexpr int kBufferSize = 4096;

  TGIFReader(TStream& stream, TGIFWarning warning);

  // Delivers up to count data bytes; fewer only when the data have ended.
  int64_t Read(void* buffer, int64_t count) override;
  // Discards the sub-blocks left, up to and including the zero-length block.
  void SkipToEnd();
  // True once the zero-length block has been read or the stream has ended.
  bool Ended() const { return ended_; }

private:
  void Fill();
  // Reads the next sub-block's length and data into the buffer at data; returns the data bytes
  // stored (0 at the end of the blocks).
  int ReadBlock(uint8_t* data);

  std::unique_ptr<uint8_t[]> buffer_;
  int position_ = 0;
  int count_ = 0;
  bool ended_ = false;
};

// Collects data bytes into blocks of up to 255 bytes. Flush() writes the last, partly filled
// block; the zero-length terminator is left to the caller.
class TGIFWriter : public TGIFStream {
public:
  TGIFWriter(TStream& stream, TGIFWarning warning) : TGIFStream(stream, std::move(warning)) {}

  int64_t Write(const void* buffer, int64_t count) override;
  void Put(uint8_t byte) {
    block_[fill_++] = byte;
    if (fill_ == kBlockBytes) WriteBlock();
  }
  // Four bytes, least significant first.
  void Put4(uint32_t bytes) {
    if (fill_ > kBlockBytes - 4) {
      for (int i = 0; i < 4; ++i, bytes >>= 8)
        Put(static_cast<uint8_t>(bytes));
      return;
    }
    uint8_t* to = block_ + fill_;
    to[0] = static_cast<uint8_t>(bytes);
    to[1] = static_cast<uint8_t>(bytes >> 8);
    to[2] = static_cast<uint8_t>(bytes >> 16);
    to[3] = static_cast<uint8_t>(bytes >> 24);
    fill_ += 4;
    if (fill_ == kBlockBytes) WriteBlock();
  }
  void Flush();
  // True once any block has gone to the stream.
  bool Written() const { return written_; }

private:
  static constexpr int kBlockBytes = 256; // the length byte and up to 255 data bytes

  void WriteBlock();

  uint8_t block_[kBlockBytes];
  int fill_ = 1;
  bool written_ = false;
};

} // namespace kestrel
