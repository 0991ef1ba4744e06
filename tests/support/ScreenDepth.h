#pragma once
// Sets KESTREL_SCREEN_DEPTH for the life of the object, so the paths of 4-, 8- and 16-bit screens
// run on any screen.

#include <QByteArray>
#include <QtGlobal>

namespace kestrel::test {

class TScreenDepth {
public:
  explicit TScreenDepth(int bits) : saved_(qgetenv("KESTREL_SCREEN_DEPTH")) {
    qputenv("KESTREL_SCREEN_DEPTH", QByteArray::number(bits));
  }
  ~TScreenDepth() {
    if (saved_.isNull())
      qunsetenv("KESTREL_SCREEN_DEPTH");
    else
      qputenv("KESTREL_SCREEN_DEPTH", saved_);
  }
  TScreenDepth(const TScreenDepth&) = delete;
  TScreenDepth& operator=(const TScreenDepth&) = delete;

private:
  QByteArray saved_;
};

} // namespace kestrel::test
