#include "imaging/core/ImageFormat.h"

namespace kestrel {

std::string FormatDescription(TImageFormat format) {
  switch (format) {
  case ifBlackWhite:
    return "Black and white";
  case ifGray16:
    return "16 shades of gray";
  case ifGray256:
    return "256 shades of gray";
  case ifColor16:
    return "16 color";
  case ifColor256:
    return "256 color";
  case ifTrueColor:
    return "True color";
  }
  return {};
}

} // namespace kestrel
