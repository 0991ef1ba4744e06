#include "app/save/SafeFileWrite.h"

#include "imaging/core/Stream.h"
#include "platform/files/AtomicFileWriter.h"

#include <optional>

namespace kestrel {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw ESaveError("Cannot save " + path + ": " + reason);
}

// The codecs write straight into the new file, with no copy of the whole file in memory.
class TAtomicFileStream : public TStream {
public:
  explicit TAtomicFileStream(TAtomicFileWriter& file) : file_(file) {}
  int64_t Read(void* buffer, int64_t count) override { return file_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override {
    if (count <= 0 || !file_.Write(buffer, static_cast<size_t>(count))) return 0;
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::Begin     ? 0
                         : origin == TSeekOrigin::Current ? file_.Position()
                                                          : file_.Size();
    file_.Seek(base + offset);
    return file_.Position();
  }
  int64_t Size() override { return file_.Size(); }
  int ErrorNumber() const override { return file_.ErrorNumber(); }

private:
  TAtomicFileWriter& file_;
};

} // namespace

void WriteFileSafely(const std::string& path, const std::function<void(TStream&)>& write) {
  std::optional<TAtomicFileWriter> file;
  try {
    file.emplace(path);
  } catch (const EFileWriteError& error) {
    Fail(path, error.what());
  }
  TAtomicFileStream stream(*file);
  // An error removes the new file with the writer. A codec stopped by the system (a full disk)
  // says so with the system's reason, whatever its own message.
  try {
    write(stream);
  } catch (const std::exception& error) {
    if (file->ErrorNumber() == 0) throw;
    throw ESaveError(WithSystemReason(error.what(), file->ErrorNumber()));
  }
  try {
    file->Commit();
  } catch (const EFileWriteError& error) {
    Fail(path, error.what());
  }
}

} // namespace kestrel
