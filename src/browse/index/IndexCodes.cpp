#include "browse/index/IndexCodes.h"

namespace kestrel {

std::string IndexCodeText(int code) {
  static const char* const kTexts[] = {"",
                                       "ERR_LOAD_WALLPAPER",
                                       "ERR_DRAW_CENTRE_WALLPAPER",
                                       "ERR_TILE_WALLPAPER",
                                       "ERR_OUT_OF_MEMORY",
                                       "ERR_CREATE_PAGE",
                                       "NO_CLIPBOARD_GRAPHIC",
                                       "BAD WALLPAPER GRAPHIC",
                                       "UNKNOWN ERROR",
                                       "NORMAL COMPLETE",
                                       "IMAGE TOO SMALL",
                                       "ERROR IN MAKELABEL METHOD",
                                       "BAD THUMBNAIL BORDER",
                                       "BAD_LABEL_BITMAP",
                                       "SOURCE_FAIL_ASSIGN",
                                       "SOURCE_FAIL_SCALE",
                                       "SOURCE_FAIL_DRAW",
                                       "ERR_CREATE_TILE"};
  constexpr int count = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
  return code > 0 && code < count ? kTexts[code] : "";
}

} // namespace kestrel
