#pragma once
// Which one-time hints may still be shown. Each hint kind k (1 to 16) has the bit 1 << (k - 1) in
// two masks: the persistent one, kept in the settings ("Dialogs"/"DontShowAgain"), for the hints
// the user asked never to see again, and the session one for those already shown in this run. A
// kind outside 1 to 16 has no bit and is never held back.

#include <cstdint>

namespace kestrel {

// 1 << (kind - 1), or 0 for a kind without a bit.
uint16_t HintBit(int kind);

class THintMasks {
public:
  // Reads the persistent mask from the settings.
  void Load();
  // Writes the persistent mask to the settings.
  void Save() const;

  // Not to be shown: asked never again, or shown already in this run.
  bool HeldBack(int kind) const;
  void MarkShown(int kind) { session_ |= HintBit(kind); }
  void NeverAgain(int kind) { persistent_ |= HintBit(kind); }
  // Every hint shows again (the installation window's "Restore all" choice); saves at once.
  void RestoreAll();

  uint16_t Persistent() const { return persistent_; }
  uint16_t Session() const { return session_; }

private:
  uint16_t persistent_ = 0;
  uint16_t session_ = 0;
};

} // namespace kestrel
