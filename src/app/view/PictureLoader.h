#pragma once
// Reading a picture off the user-interface thread: the file is read, a JPEG decoded with the
// viewer's options and a palette made for palette screens on a worker, while the window keeps
// answering; the result comes back to the window's thread. Only the newest request counts: a
// read that a newer one overtook is dropped when it ends.

#include "app/options/JpgOptions.h"
#include "app/view/Dpicture.h"
#include "app/view/PaletteSynthesis.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>

namespace kestrel {

struct TLoadRequest {
  QString Path;
  int ScreenDepth = 32;
  bool PreservePixels = false;
  TJpegLoadOptions Jpeg; // a JPEG is decoded with these
};

struct TLoadResult {
  TPictureRead Read;
  TSynthesis Synthesis;
};

// Reads the file of a request and prepares its picture for display (on any thread): a JPEG is
// decoded now, so that its errors count as the load's; on a palette screen a true-colour picture
// gets its palette.
TLoadResult LoadPictureFile(const TLoadRequest& request);

class TPictureLoader : public QObject {
public:
  using TDone = std::function<void(TLoadResult&& result)>;

  explicit TPictureLoader(QObject* parent = nullptr);
  ~TPictureLoader() override;

  // Starts reading; done runs on this object's thread when the read ends, unless another Start
  // or a Cancel came first.
  void Start(TLoadRequest request, TDone done);
  // Forgets the pending read.
  void Cancel();
  // A read is pending.
  bool Busy() const { return pending_ != 0; }

private:
  void Finished(uint64_t generation, TLoadResult&& result);

  QThreadPool pool_;
  std::atomic<uint64_t> generation_{0};
  uint64_t pending_ = 0; // the generation waited for, 0 for none
  TDone done_;
};

} // namespace kestrel
