#include "app/view/ImageKind.h"

namespace kestrel {

TImageKind ImageKindOf(const QString& path) {
  return static_cast<TImageKind>(KindOfPath(path.toStdString()));
}

} // namespace kestrel
