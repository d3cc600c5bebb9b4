#pragma once
// Sound playback for notifications.

#include "platform/devkit/devkit_export.h"

// Plays the sound file at path without waiting for it to end. The player is the
// program named by the environment variable ZEP_AUDIO_PLAYER, else the first of
// "paplay" and "aplay" found on PATH. Returns non-zero when the file exists and a
// player was started; 0 for a missing file or when no player can be started.
DEVKIT_EXPORT int PlayAudioFile(const char16_t *path);
