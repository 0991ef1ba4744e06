#pragma once
// Writing a file so that a failure never leaves a half-written file in place of a good one: the
// bytes go to a temporary file in the same folder, which replaces the old file by a rename only
// once everything is written; a failed write removes the temporary file and leaves the old file
// as it was.

#include "imaging/core/Exceptions.h"

#include <functional>
#include <string>

namespace kestrel {

class TStream;

KESTREL_EXCEPTION_CLASS(ESaveError, Exception)

// Calls write with a stream, then puts what it wrote at path. Raises ESaveError
// "Cannot save <path>: <reason>" when the file cannot be made or written (a read-only folder, a
// full disk); an error of write passes on, and nothing is written.
void WriteFileSafely(const std::string& path, const std::function<void(TStream&)>& write);

} // namespace kestrel
