#pragma once
// One libpng read or write structure and its info structure over a TStream, with the error,
// warning and stream callbacks wired to the image library's conventions: a libpng error (or a
// stream failure met inside a callback) becomes EPNGError with its text, a warning goes to
// TPngGraphic::Warn. Both structures are destroyed with the session, also after an error.

#include "imaging/core/LongJump.h"

#include <png.h>

namespace kestrel {

class TStream;

class TPngSession {
public:
  enum class TMode { Read, Write };

  TPngSession(TMode mode, TStream& stream);
  ~TPngSession();
  TPngSession(const TPngSession&) = delete;
  TPngSession& operator=(const TPngSession&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

  // Runs body, whose libpng calls may fail; see imaging/core/LongJump.h for what body may hold.
  // A failure raises EPNGError with the recorded message.
  template <class Body> void Run(Body&& body) {
    if (!RunGuarded(png_jmpbuf(png_), body)) Fail();
  }

private:
  static void OnError(png_structp png, png_const_charp message);
  static void OnWarning(png_structp png, png_const_charp message);
  static void OnRead(png_structp png, png_bytep data, size_t length);
  static void OnWrite(png_structp png, png_bytep data, size_t length);
  static void OnFlush(png_structp png);
  static TPngSession& Of(png_structp png);
  void Destroy();
  // Records message and jumps out through libpng's error routine.
  [[noreturn]] void Abort(const char* message);
  [[noreturn]] void Fail() const;

  TMode mode_;
  TStream& stream_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  char message_[256] = {};
};

} // namespace kestrel
