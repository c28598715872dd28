#include "ui/shell/ToneGenerator.h"

#include <cstdlib>

#include "core/common/ToneSynthesis.h"

#if LTRAKW_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace {

constexpr unsigned kLatencyUs = 40000; // [us] device buffer

#if LTRAKW_HAVE_ALSA
// ALSA reports a missing sound card on stderr by itself; a workstation
// without speakers is normal, so those reports are dropped.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...)
{
}
#endif

} // namespace

ToneGenerator& ToneGenerator::instance()
{
    static ToneGenerator generator;
    return generator;
}

ToneGenerator::~ToneGenerator()
{
#if LTRAKW_HAVE_ALSA
    if (pcm)
        snd_pcm_close(static_cast<snd_pcm_t*>(pcm));
#endif
}

bool ToneGenerator::openLocked()
{
    if (triedOpen)
        return pcm != nullptr;
    triedOpen = true;
#if LTRAKW_HAVE_ALSA
    if (std::getenv("LTRAKW_NO_SOUND"))
        return false;
    snd_lib_error_set_handler(quietAlsaErrors);
    snd_pcm_t* handle = nullptr;
    if (snd_pcm_open(&handle, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return false;
    if (snd_pcm_set_params(handle, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
            lt::kToneSampleRate, 1, kLatencyUs) < 0) {
        snd_pcm_close(handle);
        return false;
    }
    pcm = handle;
    return true;
#else
    return false;
#endif
}

bool ToneGenerator::hasDevice()
{
    std::lock_guard lock(mutex);
    return openLocked();
}

void ToneGenerator::play(unsigned long frequencyHz, unsigned long durationMs)
{
    std::lock_guard lock(mutex);
    if (!openLocked())
        return;
#if LTRAKW_HAVE_ALSA
    auto* handle = static_cast<snd_pcm_t*>(pcm);
    const auto samples =
        lt::synthesizeTone(static_cast<unsigned>(frequencyHz), static_cast<unsigned>(durationMs));
    snd_pcm_prepare(handle);
    std::size_t done = 0;
    while (done < samples.size()) {
        snd_pcm_sframes_t written =
            snd_pcm_writei(handle, samples.data() + done, samples.size() - done);
        if (written < 0) {
            if (snd_pcm_recover(handle, static_cast<int>(written), 1) < 0)
                return;
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    snd_pcm_drain(handle);
#endif
}

void ToneGenerator::beepHandler(unsigned long frequencyHz, unsigned long durationMs, void*)
{
    instance().play(frequencyHz, durationMs);
}
