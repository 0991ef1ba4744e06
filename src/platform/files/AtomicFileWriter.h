#pragma once
// Writing a file whole or not at all. The bytes go to a new file beside the target, which takes the
// target's place by a rename only once everything is written and has reached the disk; a failure
// removes the new file and leaves the old one as it was.
// - Only a regular file is replaced, or a new one made. A folder, a device, a named pipe or a
//   socket is refused, and the check is made again just before the rename, so a device node never
//   turns into a regular file.
// - A symbolic link is followed: the link stays, and the file it names is replaced (or made).
// - The replaced file's mode is kept, and its owner and group where the system allows it (as root).
// - A file with several hard links is split: the name written gets the new content, the other
//   names keep the old one.
// - An existing file the caller may not write is refused, as opening it for writing would be.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel {

class EFileWriteError : public std::runtime_error {
public:
  // reason: why, in the system's words where the system gave one ("No space left on device").
  EFileWriteError(const std::string& reason, int errorNumber)
      : std::runtime_error(reason), ErrorNumber(errorNumber) {}
  int ErrorNumber; // the system's error number, 0 when the refusal is ours
};

// The system's text for an error number.
std::string SystemErrorText(int errorNumber);
// What a file of this mode is when it is not a regular file: "a folder", "a device", "a named
// pipe", "a socket".
std::string FileKindText(unsigned mode);

class TAtomicFileWriter {
public:
  // Prepares a new file beside the target. Raises EFileWriteError when the target is not a
  // regular file, may not be written, or no file can be made in its folder.
  explicit TAtomicFileWriter(const std::string& path);
  // Removes the new file unless Commit succeeded.
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // Writes at the position and moves it; false when the system refused (see ErrorNumber).
  bool Write(const void* data, size_t count);
  // Reads back what was written, from the position; the number of bytes read.
  int64_t Read(void* data, int64_t count);
  void Seek(int64_t position) { position_ = position < 0 ? 0 : position; }
  int64_t Position() const { return position_; }
  int64_t Size() const;

  // Puts the new file in the target's place. Raises EFileWriteError when a write failed before,
  // the data cannot reach the disk, or the target has meanwhile become something else than a
  // regular file.
  void Commit();

  // The first error number the system gave; 0 while all went well.
  int ErrorNumber() const { return errorNumber_; }
  // The file that is replaced or made: the path, or the file its symbolic links name.
  const std::string& Target() const { return target_; }

  // Whether name is one of the new files this writer makes beside base ("<base>.XXXXXX"): what a
  // writer killed before its rename leaves behind.
  static bool IsTemporaryOf(const std::string& name, const std::string& base);

private:
  bool FlushBuffer();
  bool Fail(int errorNumber);
  [[noreturn]] void Raise(const std::string& reason, int errorNumber) const;

  std::string path_;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
  int errorNumber_ = 0;
  int64_t position_ = 0;
  int64_t size_ = 0;
  // Bytes not yet written, meant for bufferStart_ onwards.
  std::vector<uint8_t> buffer_;
  int64_t bufferStart_ = 0;
};

} // namespace kestrel
