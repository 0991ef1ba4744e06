// The status line under the file view.

#include "app/main/KestrelMain.h"

namespace kestrel {

void TKestrelMain::UpdateStatusLine() {
  // Filled by the file-list refresh: picture size, pixel format, file size and file count.
}

} // namespace kestrel
