#pragma once
// Calling C libraries that report a fatal error by longjmp (libjpeg, libpng).
//
// A longjmp skips every frame between the library's error handler and the setjmp that catches it,
// without running destructors. So the work is split: the caller keeps every C++ object with a
// destructor in its own frame (outside the jump), and hands the library calls to RunGuarded as a
// body that holds no such object while it calls into the library. The library's error handler
// records its message somewhere the caller owns and jumps; RunGuarded then returns false and the
// caller raises its exception from an ordinary frame.
//
// Callbacks the library calls (stream readers and writers) must not let a C++ exception pass
// through the library's frames either: they catch it, record the message, leave the catch block,
// and then call the library's error routine.

#include <csetjmp>

namespace kestrel {

// Runs body with target armed; false when the library jumped to it. The body may throw C++
// exceptions of its own between library calls: they leave through this frame normally.
template <class Body> [[nodiscard]] bool RunGuarded(std::jmp_buf& target, Body&& body) {
  if (setjmp(target)) return false;
  body();
  return true;
}

} // namespace kestrel
