#include "SoundPlayer.h"

SoundPlayer::~SoundPlayer() = default;
