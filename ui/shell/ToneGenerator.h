#pragma once
// Beeps through the sound card: a sine tone of the asked frequency and
// length played on ALSA's default device, returning when it has sounded.
// Without an audio device (or without ALSA at build time) a beep is silent;
// the environment variable LTRAKW_NO_SOUND silences it on purpose.
#include <mutex>

class ToneGenerator {
public:
    static ToneGenerator& instance();

    // Plays one tone and waits until it has been played.
    void play(unsigned long frequencyHz, unsigned long durationMs);
    // True when a playback device could be opened.
    bool hasDevice();

    // For CTaviSpec::SetBeepHandler (context unused).
    static void beepHandler(unsigned long frequencyHz, unsigned long durationMs, void* context);

    ToneGenerator(const ToneGenerator&) = delete;
    ToneGenerator& operator=(const ToneGenerator&) = delete;

private:
    ToneGenerator() = default;
    ~ToneGenerator();
    bool openLocked();

    std::mutex mutex;
    void* pcm = nullptr; // snd_pcm_t*
    bool triedOpen = false;
};
