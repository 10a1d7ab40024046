#pragma once

#include "SoundPlayer.h"

#include <QString>

#include <memory>

// The Qt Multimedia player (MediaSoundPlayer) lives in a module of its own, loaded with the
// first clip: an idle Vantor does not carry Qt Multimedia, PulseAudio and their codecs, about
// 1.3 MiB resident. The module stays loaded once its player is made.
namespace SoundPlayerModule {

// Its file name, beside the programs.
inline constexpr const char* fileName = "vantor-sound.so";

// The player from the module at `path`; null, and the clip is silence, when it cannot be loaded.
std::unique_ptr<SoundPlayer> makePlayer(const QString& path);

}  // namespace SoundPlayerModule
