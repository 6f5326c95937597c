// The three seams between the shell and the machine: the render target, the audio
// outputs and the clock. The game and the headless driver run the same shell and differ
// only in which implementations of these they choose, once, at start-up.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace reedmark {

// A start-up failure: the program shows the message and ends.
class TStartupError : public std::runtime_error {
   public:
    explicit TStartupError(const std::string& message) : std::runtime_error(message) {}
};

// Milliseconds since start-up, and the frame's sleep.
class TClock {
   public:
    virtual ~TClock() = default;
    virtual std::uint32_t Now() const = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

// One output device playing queued 22050 Hz signed 16-bit mono samples.
class TAudioDevice {
   public:
    virtual ~TAudioDevice() = default;
    virtual bool IsOpen() const = 0;
    virtual void Queue(const std::int16_t* samples, std::size_t count) = 0;
    virtual std::uint32_t QueuedBytes() const = 0;
    virtual void SetPaused(bool paused) = 0;
    virtual bool Paused() const = 0;
    virtual void Close() = 0;
    // Every byte ever queued, when the device records them (headless); else empty.
    virtual const std::vector<std::uint8_t>* Recording() const { return nullptr; }
};

// The window (or off-screen canvas) and its renderer on the 1280 x 800 logical canvas.
class TVideo {
   public:
    virtual ~TVideo() = default;
    // Opens the window and the renderer; throws TStartupError with SDL's error text.
    virtual void Open() = 0;
    virtual SDL_Renderer* Renderer() const = 0;
    virtual void Present() = 0;
    // Desktop full-screen on or off; the logical canvas is letterboxed into the screen.
    // Answers false, with SDL's error set, when the window refuses. Without a window the
    // request is accepted and changes nothing.
    virtual bool SetFullscreen(bool on) = 0;
    virtual void Close() = 0;
    // Shows a fatal message to the player (a message box where there is a desktop).
    virtual void ShowFatal(const std::string& message) = 0;
};

struct TSeams {
    bool headless = false;
    std::unique_ptr<TVideo> video;
    std::unique_ptr<TClock> clock;
    // Opens one audio device (called twice: music, then effects). Never null; a device
    // that could not open answers IsOpen() false. Devices must be destroyed before the
    // clock (the headless clock drains its recording sinks while it sleeps).
    std::function<std::unique_ptr<TAudioDevice>()> openAudio;
};

// The desktop game: an SDL window with an accelerated (else software) renderer, SDL's
// queued audio devices, SDL's millisecond ticks and delay.
TSeams RealSeams();
// The game without a screen: SDL's dummy drivers, a software renderer on a 1280 x 800
// surface, recording audio sinks draining 44,100 bytes per virtual second, and a
// virtual clock that starts at 0 and advances only when the frame sleeps.
TSeams HeadlessSeams();

constexpr int kCanvasWidth = 1280;
constexpr int kCanvasHeight = 800;
constexpr int kAudioRate = 22050;
constexpr std::uint32_t kAudioBytesPerSecond = 44100;

}  // namespace reedmark
