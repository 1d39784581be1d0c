#include "playback/engine/Output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace vorlane::engine {

namespace {

std::atomic<OutputKind> gDefaultOutput{OutputKind::Device};
std::mutex gSdlMutex; // guards gSdlReady and the choice of driver
bool gSdlReady = false;

bool StartDummy()
{
    SDL_AudioQuit();
    return SDL_AudioInit("dummy") == 0;
}

} // namespace

OutputKind DefaultOutput()
{
    return gDefaultOutput.load();
}

void SetDefaultOutput(OutputKind kind)
{
    gDefaultOutput = kind;
}

QString OutputDriverName()
{
    std::lock_guard lock(gSdlMutex);
    const char *name = gSdlReady ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? QString::fromLatin1(name) : QString();
}

std::unique_ptr<DeviceOutput> DeviceOutput::Open(int rate, int channels, PullFunction pull)
{
    std::unique_ptr<DeviceOutput> out(new DeviceOutput);
    out->pull_ = std::move(pull);
    if (channels < 1 || channels > 8)
        return nullptr;
    out->channels_ = channels;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(out->channels_);
    want.samples = 2048;
    want.callback = &DeviceOutput::Callback;
    want.userdata = out.get();

    std::lock_guard lock(gSdlMutex);
    static bool warned = false;
    auto warnOnce = [](const char *why) {
        if (!warned)
            std::fprintf(
                stderr, "vorlane: no audio device (%s); playing on the silent dummy output\n", why);
        warned = true;
    };
    if (!gSdlReady) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            warnOnce(SDL_GetError());
            if (SDL_AudioInit("dummy") != 0)
                return nullptr;
        }
        gSdlReady = true;
    }
    SDL_AudioSpec have{};
    out->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    const char *driver = SDL_GetCurrentAudioDriver();
    if (out->device_ == 0 && !(driver && std::strcmp(driver, "dummy") == 0)) {
        warnOnce(SDL_GetError());
        if (!StartDummy())
            return nullptr;
        out->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }
    if (out->device_ == 0)
        return nullptr;
    return out;
}

DeviceOutput::~DeviceOutput()
{
    if (device_ != 0) {
        std::lock_guard lock(gSdlMutex);
        SDL_CloseAudioDevice(device_);
    }
}

void DeviceOutput::SetPaused(bool paused)
{
    SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void DeviceOutput::Callback(void *p, unsigned char *stream, int len)
{
    auto *self = static_cast<DeviceOutput *>(p);
    const int frames = len / static_cast<int>(sizeof(float) * self->channels_);
    self->pull_(reinterpret_cast<float *>(stream), frames);
}

} // namespace vorlane::engine
