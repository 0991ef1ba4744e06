#pragma once
// Writing a picture file so that a failure never leaves a half-written file in place of a good one
// (see platform/files/AtomicFileWriter.h): only a regular file is replaced or a new one made, a
// symbolic link stays and the file it names is replaced, and a failed write leaves the old file
// as it was.

#include "imaging/core/Exceptions.h"

#include <functional>
#include <string>

namespace kestrel {

class TStream;

KESTREL_EXCEPTION_CLASS(ESaveError, Exception)

// Calls write with a stream, then puts what it wrote at path. Raises ESaveError
// "Cannot save <path>: <reason>" when the file cannot be made or written (a read-only folder, a
// device, a full disk). An error of write passes on, with the system's reason appended when the
// system refused a write; nothing is written.
void WriteFileSafely(const std::string& path, const std::function<void(TStream&)>& write);

} // namespace kestrel
