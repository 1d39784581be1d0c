#pragma once
// Where a playing stream's sound goes.
//
// Device: an SDL2 audio device. SDL calls the stream's pull function from its own audio thread
// in real time. When the machine has no usable audio device, the engine says so once on standard
// error and opens SDL's silent "dummy" driver instead, so playback still runs in real time.
// SDL's "disk" driver (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE=path) writes exactly what was
// played, which tests use.
//
// Null: no device and no thread; whoever holds the stream pulls the sound (tests, rendering).

#include <QString>

#include <functional>
#include <memory>

namespace vorlane::engine {

enum class OutputKind { Device, Null };

// The output kind new player streams use (Device unless a test chose Null). Any thread.
OutputKind DefaultOutput();
void SetDefaultOutput(OutputKind kind);

// Fills `frames` interleaved float frames; called on the output thread.
using PullFunction = std::function<void(float *out, int frames)>;

// One open SDL device. Created and destroyed on the owner's thread; the pull function runs on
// SDL's audio thread until the device is closed (the destructor waits for it).
class DeviceOutput {
public:
    ~DeviceOutput();
    DeviceOutput(const DeviceOutput &) = delete;
    DeviceOutput &operator=(const DeviceOutput &) = delete;

    // Opens a paused device for the rate and 1..8 channels; null for other channel counts or when
    // even the dummy driver fails.
    static std::unique_ptr<DeviceOutput> Open(int rate, int channels, PullFunction pull);
    void SetPaused(bool paused);

private:
    DeviceOutput() = default;
    static void Callback(void *self, unsigned char *stream, int len);
    PullFunction pull_;
    unsigned device_ = 0;
    int channels_ = 0;
};

// Name of the SDL audio driver in use, empty before the first device was opened.
QString OutputDriverName();

} // namespace vorlane::engine
