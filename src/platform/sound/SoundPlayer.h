#pragma once
// Asynchronous playback of WAVE files. The sound plays in the background through the desktop's
// player program (paplay, else aplay) while the caller goes on; a new sound stops the one still
// playing. Without a player program or a sound device nothing is heard and nothing is reported:
// a missing sound is never worth a message.

#include <QString>

#include <functional>

namespace kestrel {

// Starts playing path and returns at once.
void PlaySoundAsync(const QString& path);

// The player program PlaySoundAsync runs (its full path), or "" when the system has none.
QString SoundPlayerProgram();

// Replaces playback by a handler (tests record the sounds asked for); an empty handler restores
// the player. Returns the handler it replaced.
using TSoundHandler = std::function<void(const QString& path)>;
TSoundHandler SetSoundHandler(TSoundHandler handler);

} // namespace kestrel
