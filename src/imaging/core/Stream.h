#pragma once
// Byte streams the codecs read from and write to: files, growable memory and read-only views over
// bytes someone else owns (the fuzzers and the clipboard hand those in). Reads return what they
// got; the ...Buffer forms raise EStreamError when the stream cannot deliver everything, with the
// system's reason when the system gave one ("Stream write error: No space left on device").

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

enum class TSeekOrigin { Begin, Current, End };

class TStream {
public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns the number read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes count bytes; returns the number written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one; positions before 0 are clamped to 0.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() = 0;
  // The system's error number of the first write the system refused (a full disk); 0 when none,
  // or when the stream is not backed by a file.
  virtual int ErrorNumber() const { return 0; }

  int64_t Position() { return Seek(0, TSeekOrigin::Current); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::Begin); }
  int64_t Remaining() { return Size() - Position(); }
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes (all the rest when count is 0) from source; returns the number copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

enum class TFileMode { OpenRead, Create, OpenReadWrite };

class TFileStream : public TStream {
public:
  // Raises EStreamError "Cannot open file \"path\"" (with the system's reason) when the file cannot
  // be opened.
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  int ErrorNumber() const override { return errorNumber_; }
  // Flushes buffered writes; raises EStreamError when the data cannot reach the disk (a full disk,
  // say).
  void Flush();
  const std::string& FileName() const { return path_; }

private:
  std::FILE* file_ = nullptr;
  std::string path_;
  int errorNumber_ = 0;
};

// A growable stream in memory that owns its bytes.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  void Clear() {
    bytes_.clear();
    position_ = 0;
  }

private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

// A read-only view over bytes owned elsewhere; writes fail.
class TSpanStream : public TStream {
public:
  explicit TSpanStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  TSpanStream(const void* data, size_t size) : bytes_(static_cast<const uint8_t*>(data), size) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

private:
  std::span<const uint8_t> bytes_;
  int64_t position_ = 0;
};

} // namespace kestrel
