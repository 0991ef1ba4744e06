#include "app/view/Sound.h"

#include "imaging/formats/FormatTable.h"

namespace kestrel {

void RegisterViewerFormats() {
  // "jpe" is a row of the format table with its class; the sound's class lives here.
  RegisterFormatRow("wav", typeid(TSound), [] { return std::make_unique<TSound>(); });
}

} // namespace kestrel
