#include "app/watcher/FilterMask.h"

namespace kestrel {

QString FilterMask(const QString& text) {
  QString mask = text;
  mask.remove(';');
  if (!mask.startsWith('*')) mask.prepend('*');
  if (!mask.endsWith('*')) mask.append('*');
  return mask + ';';
}

} // namespace kestrel
