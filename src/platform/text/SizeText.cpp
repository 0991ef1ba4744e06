#include "platform/text/SizeText.h"

namespace kestrel {
namespace {

// Up to two decimals, without trailing zeros.
QString TwoDecimals(double value) {
  QString text = QString::number(value, 'f', 2);
  while (text.endsWith('0'))
    text.chop(1);
  if (text.endsWith('.')) text.chop(1);
  return text;
}

QString SizePrefix(int kind) {
  switch (kind) {
  case 0:
    return {};
  case 1:
    return "Size: ";
  case 2:
    return "Space Free: ";
  case 3:
    return "Memory Size of Image: ";
  default:
    return "Size:";
  }
}

} // namespace

QString SizeText(int kind, qint64 value) {
  if (value == 0) return {};
  double amount = double(value);
  QString unit = " Bytes";
  if (amount >= 1024) {
    amount /= 1024;
    unit = " KB";
    if (amount >= 1024) {
      amount /= 1024;
      unit = " MB";
    }
  }
  return SizePrefix(kind) + TwoDecimals(amount) + unit;
}

} // namespace kestrel
