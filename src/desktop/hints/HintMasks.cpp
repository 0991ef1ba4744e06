#include "desktop/hints/HintMasks.h"

#include "platform/settings/Settings.h"

namespace kestrel {
namespace {

const TSettingKey kDontShowAgain{"Dialogs", "DontShowAgain"};

} // namespace

uint16_t HintBit(int kind) {
  return kind >= 1 && kind <= 16 ? static_cast<uint16_t>(1u << (kind - 1)) : 0;
}

void THintMasks::Load() {
  persistent_ = static_cast<uint16_t>(ReadSetting(kDontShowAgain, 0));
}

void THintMasks::Save() const {
  WriteSetting(kDontShowAgain, static_cast<int>(persistent_));
}

bool THintMasks::HeldBack(int kind) const {
  return (HintBit(kind) & (persistent_ | session_)) != 0;
}

void THintMasks::RestoreAll() {
  persistent_ = 0;
  session_ = 0;
  Save();
}

} // namespace kestrel
