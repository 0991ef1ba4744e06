// kestrel_viewer_save_run INPUT OUTPUT: what the viewer does to save a picture it shows at 1:1 -
// read it as the viewer reads a file, build the view copy, and write that through "Save Image As"
// without its dialog (the option windows' first choices). For bench_convert_memory, which watches
// the peak memory of the process. Exits with 0 when the file was written.

#include "app/save/ImageSaver.h"
#include "app/view/Dpicture.h"
#include "app/view/ViewCopy.h"

#include <QGuiApplication>

#include <cstdio>

using namespace kestrel;

namespace {

class TFirstChoices : public TSaveQuestions {
public:
  bool AskJpegOptions(TJpegSaveOptions&) override { return false; }
  TCompressAnswer AskCompression(TCompressUse, const TBitmap&, int, bool) override { return {}; }
  void Tell(const std::string& text, const std::string&) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  TPictureRead read = ReadPictureFile(QString::fromLocal8Bit(argv[1]), 32);
  if (read.Failed()) {
    std::fprintf(stderr, "%s\n", qPrintable(read.Error));
    return 1;
  }
  TBitmap view;
  TViewCopyState state;
  BuildViewCopy(view, *read.Graphic, TViewCopySettings{}, state);
  TFirstChoices questions;
  TImageSaver saver(questions);
  TSavePicture shown;
  shown.Kind = read.Kind;
  shown.Graphic = read.Graphic.get();
  return saver.SaveAs(argv[2], view, false, shown) ? 0 : 1;
}
