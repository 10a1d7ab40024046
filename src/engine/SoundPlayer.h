#pragma once

#include <QByteArray>

// Plays one MP3 clip held in memory. play() returns at once; a clip that cannot be played is
// silence, never an error. The real player sits on the platform's audio machinery.
class SoundPlayer {
public:
    virtual ~SoundPlayer();

    virtual void play(const QByteArray& mp3) = 0;
    virtual void stop() = 0;

protected:
    SoundPlayer() = default;
    SoundPlayer(const SoundPlayer&) = default;
    SoundPlayer& operator=(const SoundPlayer&) = default;
};
