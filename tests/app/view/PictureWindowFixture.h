#pragma once
// A main window started on one picture of the test's, the one-time hints out of the way.

#include "app/view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

namespace kestrel::test {

class PictureWindowFixture : public MainWindowFixture {
protected:
  // Shows bitmap, written as pics/a.bmp; null when the start halts.
  TKestrelMain* ShowPicture(const TBitmap& bitmap) {
    WriteSetting("Dialogs", "DontShowAgain", 0xFFFF);
    const QString path = Env.Folder("pics") + "/a.bmp";
    WritePicture(bitmap, path);
    TKestrelMain* shown = Start({path});
    if (shown) shown->WaitForPicture();
    return shown;
  }
};

} // namespace kestrel::test
