// The real and the headless implementations of the three seams.
#include "ui/platform.hpp"

#include <algorithm>
#include <cstdint>

namespace reedmark {

namespace {

// [SECTION] Video

class TWindowVideo : public TVideo {
   public:
    ~TWindowVideo() override { Close(); }
    void Open() override {
        window_ = SDL_CreateWindow("Reedmark - The Tarn Chronicles", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   kCanvasWidth, kCanvasHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
        if (!window_) throw TStartupError(SDL_GetError());
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) throw TStartupError(SDL_GetError());
        SDL_RenderSetLogicalSize(renderer_, kCanvasWidth, kCanvasHeight);
    }
    SDL_Renderer* Renderer() const override { return renderer_; }
    void Present() override { SDL_RenderPresent(renderer_); }
    bool SetFullscreen(bool on) override {
        return window_ && SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
    }
    void Close() override {
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        renderer_ = nullptr;
        window_ = nullptr;
    }
    void ShowFatal(const std::string& message) override {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Reedmark", message.c_str(), window_);
    }

   private:
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

// A software renderer drawing into a 1280 x 800 surface: every frame is pixel-exact
// and readable, and no display is needed.
class TOffscreenVideo : public TVideo {
   public:
    ~TOffscreenVideo() override { Close(); }
    void Open() override {
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, kCanvasWidth, kCanvasHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!surface_) throw TStartupError(SDL_GetError());
        renderer_ = SDL_CreateSoftwareRenderer(surface_);
        if (!renderer_) throw TStartupError(SDL_GetError());
        SDL_RenderSetLogicalSize(renderer_, kCanvasWidth, kCanvasHeight);
    }
    SDL_Renderer* Renderer() const override { return renderer_; }
    void Present() override { SDL_RenderPresent(renderer_); }
    bool SetFullscreen(bool) override { return true; }
    void Close() override {
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (surface_) SDL_FreeSurface(surface_);
        renderer_ = nullptr;
        surface_ = nullptr;
    }
    void ShowFatal(const std::string&) override {}

   private:
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

// [SECTION] Audio

SDL_AudioSpec GameAudioSpec() {
    SDL_AudioSpec spec{};
    spec.freq = kAudioRate;
    spec.format = AUDIO_S16LSB;
    spec.channels = 1;
    spec.samples = 2048;
    spec.callback = nullptr;
    return spec;
}

class TSdlAudioDevice : public TAudioDevice {
   public:
    TSdlAudioDevice() {
        SDL_AudioSpec want = GameAudioSpec();
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (id_ != 0) SDL_PauseAudioDevice(id_, 0);
    }
    ~TSdlAudioDevice() override { Close(); }
    bool IsOpen() const override { return id_ != 0; }
    void Queue(const std::int16_t* samples, std::size_t count) override {
        if (id_ != 0) SDL_QueueAudio(id_, samples, static_cast<Uint32>(count * sizeof(std::int16_t)));
    }
    std::uint32_t QueuedBytes() const override { return id_ != 0 ? SDL_GetQueuedAudioSize(id_) : 0; }
    void SetPaused(bool paused) override {
        if (id_ != 0) SDL_PauseAudioDevice(id_, paused ? 1 : 0);
    }
    bool Paused() const override { return id_ != 0 && SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_PAUSED; }
    void Close() override {
        if (id_ != 0) SDL_CloseAudioDevice(id_);
        id_ = 0;
    }

   private:
    SDL_AudioDeviceID id_ = 0;
};

class TVirtualClock;

// A device that plays nothing but behaves like a queued one: it keeps every byte
// queued and drains 44,100 bytes per second of virtual time while unpaused.
class TRecordingSink : public TAudioDevice {
   public:
    explicit TRecordingSink(TVirtualClock* clock);
    ~TRecordingSink() override;
    bool IsOpen() const override { return open_; }
    void Queue(const std::int16_t* samples, std::size_t count) override {
        if (!open_) return;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples);
        recording_.insert(recording_.end(), bytes, bytes + count * sizeof(std::int16_t));
        queued_ += static_cast<std::uint64_t>(count * sizeof(std::int16_t));
    }
    std::uint32_t QueuedBytes() const override { return static_cast<std::uint32_t>(queued_); }
    void SetPaused(bool paused) override { paused_ = paused; }
    bool Paused() const override { return paused_; }
    void Close() override { open_ = false; }
    const std::vector<std::uint8_t>* Recording() const override { return &recording_; }

    // Plays for ms milliseconds: the bytes due by the end of the total playing time
    // (44.1 per millisecond) leave the queue.
    void Drain(std::uint32_t ms) {
        if (!open_ || paused_) return;
        playedMs_ += ms;
        const std::uint64_t due = playedMs_ * kAudioBytesPerSecond / 1000;
        const std::uint64_t bytes = due - drained_;
        drained_ = due;
        queued_ = queued_ > bytes ? queued_ - bytes : 0;
    }

   private:
    TVirtualClock* clock_;
    bool open_ = true;
    bool paused_ = false;
    std::uint64_t queued_ = 0;
    std::uint64_t playedMs_ = 0;
    std::uint64_t drained_ = 0;
    std::vector<std::uint8_t> recording_;
};

// [SECTION] Clocks

class TSdlClock : public TClock {
   public:
    std::uint32_t Now() const override { return SDL_GetTicks(); }
    void Sleep(std::uint32_t ms) override { SDL_Delay(ms); }
};

// Starts at 0 and advances only when the frame sleeps; the sinks play meanwhile.
class TVirtualClock : public TClock {
   public:
    std::uint32_t Now() const override { return now_; }
    void Sleep(std::uint32_t ms) override {
        now_ += ms;
        for (TRecordingSink* sink : sinks_) sink->Drain(ms);
    }
    void AddSink(TRecordingSink* sink) { sinks_.push_back(sink); }
    void RemoveSink(TRecordingSink* sink) { std::erase(sinks_, sink); }

   private:
    std::uint32_t now_ = 0;
    std::vector<TRecordingSink*> sinks_;
};

TRecordingSink::TRecordingSink(TVirtualClock* clock) : clock_(clock) {
    clock_->AddSink(this);
}
TRecordingSink::~TRecordingSink() {
    clock_->RemoveSink(this);
}

}  // namespace

TSeams RealSeams() {
    TSeams seams;
    seams.video = std::make_unique<TWindowVideo>();
    seams.clock = std::make_unique<TSdlClock>();
    seams.openAudio = [] { return std::unique_ptr<TAudioDevice>(std::make_unique<TSdlAudioDevice>()); };
    return seams;
}

TSeams HeadlessSeams() {
    // The dummy drivers need no display and no sound card; the canvas is a surface.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    TSeams seams;
    seams.headless = true;
    seams.video = std::make_unique<TOffscreenVideo>();
    auto clock = std::make_unique<TVirtualClock>();
    TVirtualClock* clockPtr = clock.get();
    seams.clock = std::move(clock);
    seams.openAudio = [clockPtr] { return std::unique_ptr<TAudioDevice>(std::make_unique<TRecordingSink>(clockPtr)); };
    return seams;
}

}  // namespace reedmark
