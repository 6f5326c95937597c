// The shell: start-up in its fixed order, the frame loop with its event checks and the
// pacing of computer players, the frame's drawing, the Back rule, quick and automatic
// saves, the portrait cache, the music feed and the shutdown.
#include "ui/shell.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "art/fallback.hpp"
#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/document_io.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "ui/screens.hpp"

namespace reedmark {

namespace fs = std::filesystem;

namespace {

constexpr const char* kScreenNames[kScreenCount] = {"scTitle",    "scSetup", "scCampaign", "scRoster",   "scHelp",
                                                    "scSettings", "scSlots", "scOrder",    "scPrisoner", "scChronicle",
                                                    "scRecord",   "scKeys",  "scUnrest",   "scTreaties", "scCompanion",
                                                    "scProvince", "scBeast", "scEnded"};

std::string WithSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// The portrait cache key: the colour of the character's fellowship, or of the id
// itself before any campaign exists.
std::uint32_t PortraitKey(const TGame& game, int id) {
    if (!game.HasCampaign()) return FactionColour(id);
    return FactionColour(TGame::GetInt(game.Character(id), "faction", 0));
}

}  // namespace

// [SECTION] Names and pictures

const char* ScreenName(int screen) {
    if (screen < 0 || screen >= kScreenCount) return "";
    return kScreenNames[screen];
}

std::uint32_t BackgroundColour(int px, int py) {
    const int tx = px % 16;
    const int ty = py % 16;
    const int d = std::abs(tx - 8) + std::abs(ty - 8);
    std::uint32_t c = 0x772E2C;
    if (d == 6 || d == 7) c = 0xC3A25B;
    if (d == 5) c = 0xE6CC80;
    if (tx == 0 || ty == 0) c = 0x242E37;
    if (d < 3) c = 0xB28845;
    if (tx == 8 && ty == 8) c = 0xECE3B1;
    if ((7 * px + 13 * py) % 17 == 0) c = (c & 0xFEFEFE) >> 1;
    return c;
}

std::string FindBaseDir(const std::string& executableDir) {
    std::string base = WithSeparator(executableDir);
    std::error_code ec;
    if (fs::exists(base + "assets/font.bmp", ec)) return base;
    fs::path parent = fs::weakly_canonical(fs::path(base + ".."), ec);
    if (ec) parent = fs::path(base + "..");
    return WithSeparator(parent.string());
}

// [SECTION] Lifecycle

TShell::TShell(TSeams s) : seams(std::move(s)) {}

TShell::~TShell() {
    if (started) Shutdown();
}

TObj TShell::WorldScenario(int scenario) const {
    if (!world) return nullptr;
    return TGame::ArrObj(TGame::GetArr(world->get_ptr<TJson::object_t*>(), "scenarios"), scenario - 1);
}

void TShell::Startup(const TStartOptions& options) {
    // 1. The base directory: beside the executable, else its parent.
    if (!options.baseDir.empty()) {
        baseDir = WithSeparator(options.baseDir);
    } else {
        char* exe = SDL_GetBasePath();
        std::string exeDir = exe ? exe : "./";
        SDL_free(exe);
        baseDir = FindBaseDir(exeDir);
    }

    // 2. SDL with video and audio, else video alone.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0) {
        SDL_Quit();
        if (SDL_Init(SDL_INIT_VIDEO) != 0) throw TStartupError(SDL_GetError());
    }
    sdlStarted = true;
    started = true;

    // 3. The world document, kept for the setup screen.
    try {
        world = std::make_unique<TJson>(ReadJsonFile(baseDir + "assets/data/world.json"));
    } catch (const std::exception& e) {
        throw TStartupError(e.what());
    }

    // 4. The sprite sheets (each optional).
    try {
        artwork.LoadArtwork(baseDir + "assets/art/");
    } catch (const std::exception& e) {
        throw TStartupError(e.what());
    }

    // 5. The atlas (the campaign and settings objects are members already).
    try {
        atlas = std::make_unique<TAtlas>();
        map = std::make_unique<TMapPainter>(*atlas);
        field = std::make_unique<TField>();
    } catch (const std::exception& e) {
        throw TStartupError(e.what());
    }

    // 6. The per-user directory.
    if (!options.prefDir.empty()) {
        prefDir = WithSeparator(options.prefDir);
    } else {
        char* pref = SDL_GetPrefPath("Reedmark", "Reedmark");
        if (pref) {
            prefDir = WithSeparator(pref);
            SDL_free(pref);
        } else {
            const char* xdg = std::getenv("XDG_CONFIG_HOME");
            const char* home = std::getenv("HOME");
            std::string config = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config";
            prefDir = WithSeparator(config) + "reedmark/";
        }
    }
    std::error_code ec;
    fs::create_directories(prefDir, ec);

    // 7. Settings.
    const std::string settingsMessage = LoadSettings(settings, prefDir + "settings.json");
    if (!settingsMessage.empty()) statusMessage = settingsMessage;

    // 8, 9. The window (or canvas) and its renderer on the logical canvas.
    seams.video->Open();
    if (settings.fullscreen && !seams.video->SetFullscreen(true))
        std::cerr << "reedmark: full-screen refused: " << SDL_GetError() << "\n";
    SDL_Renderer* renderer = seams.video->Renderer();

    // 10. The font, black transparent.
    SDL_RWops* rw = SDL_RWFromFile((baseDir + "assets/font.bmp").c_str(), "rb");
    SDL_Surface* fontSurface = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
    if (!fontSurface) throw TStartupError("Font asset missing: " + baseDir);
    font = fontSurface;
    draw.Attach(renderer, font);

    // 11. Two audio devices: music, then effects. One that fails stays silent.
    musicDevice = seams.openAudio();
    effectsDevice = seams.openAudio();

    background = std::make_unique<TArt>(kCanvasWidth, kCanvasHeight);
    for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) background->SetPixel(x, y, BackgroundColour(x, y));
    }

    // 12. "--load PATH" loads a campaign at once.
    if (options.args.size() >= 2 && options.args[0] == "--load") {
        try {
            LoadCampaign(game, options.args[1]);
            selectedProvince = CurrentProvince(game);
            screen = scCampaign;
        } catch (const std::exception& e) {
            statusMessage = e.what();
        }
    }
}

void TShell::RunFrame() {
    // 1. Events.
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) {
            running = false;
        } else if (e.type == SDL_KEYDOWN) {
            HandleKey(e.key.keysym.sym, e.key.keysym.mod);
        } else if (e.type == SDL_MOUSEBUTTONDOWN) {
            // The renderer's logical size already maps window points onto the canvas.
            HandleMouseDown(e.button.x, e.button.y);
        } else if (e.type == SDL_WINDOWEVENT || e.type == SDL_RENDER_TARGETS_RESET ||
                   e.type == SDL_RENDER_DEVICE_RESET) {
            // Exposed, resized or reset: the picture on screen may be gone.
            draw.ForceRepaint();
        }
    }
    // 2 to 4. Decisions the campaign leaves to a human.
    RaiseEventScreens();
    // 5. Computer players.
    PaceComputerPlayers();
    TrackBattle();
    // 6 to 8.
    DrawFrame();
    UpdateMusic();
    seams.clock->Sleep(kFrameSleep);
}

void TShell::RaiseEventScreens() {
    if (screen != scCampaign || !HasCampaign()) return;
    if (!HasBattle(game) && game.FirstBeastNotice() != nullptr) {
        screen = scBeast;
        draw.focusIndex = 0;
        return;
    }
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (ch == nullptr) continue;
        if (TGame::GetBool(ch, "captured") && !TGame::GetBool(ch, "resolved") &&
            game.IsHumanFaction(TGame::GetInt(ch, "captor", 0))) {
            prisonerChar = c;
            prisonerCaptor = TGame::GetInt(ch, "captor", 0);
            screen = scPrisoner;
            draw.focusIndex = 0;
            return;
        }
    }
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        if (prov != nullptr && TGame::GetBool(prov, "riot") && game.IsHumanFaction(TGame::GetInt(prov, "owner", 0))) {
            selectedProvince = p;
            screen = scUnrest;
            draw.focusIndex = 0;
            return;
        }
    }
}

void TShell::PaceComputerPlayers() {
    if (screen != scCampaign || !HasCampaign() || aiPaused) return;
    if (game.IsEnded()) {
        screen = scEnded;
        return;
    }
    const std::uint32_t now = seams.clock->Now();
    const std::uint32_t interval = settings.fastAI ? kFastStepInterval : kNormalStepInterval;
    if (now - lastAITick <= interval) return;
    lastAITick = now;
    ComputerTick(game, settings.fastAI ? kFastComputerSteps : kNormalComputerSteps);
    if (CurrentEntry(game) != lastQueueEntry) {
        selectedProvince = CurrentProvince(game);
        lastQueueEntry = CurrentEntry(game);
    }
    if (!game.Chronicle().empty()) statusMessage = game.Chronicle().back();
    // In 64 bits: a year read from a file may be as large as the getters allow.
    const long long monthKey = TGame::GetInt(game.Root(), "year", 0) * 12LL + TGame::GetInt(game.Root(), "month", 0);
    if (monthKey != lastMonthKey && !HasBattle(game)) {
        lastMonthKey = monthKey;
        autoSlot = autoSlot % 3 + 1;
        AutoSave();
    }
}

void TShell::AutoSave() {
    try {
        SaveCampaign(game, prefDir + "auto" + IntToStr(autoSlot) + ".json");
    } catch (const std::exception& e) {
        statusMessage = e.what();
    }
}

void TShell::DrawFrame() {
    draw.BeginFrame();
    draw.DrawImage(*background, "background", 0, 0, kCanvasWidth, kCanvasHeight);
    draw.FillBox(24, 24, 1232, 752, kBlack);
    draw.DrawText(36, 28, "REEDMARK", kGold, 24);
    DrawScreen();
    if (screen == scTitle || screen == scChronicle) {
        draw.FillBox(28, 746, 1222, 34, kBlack);
        draw.DrawWrapped(36, 750, 1200, statusMessage, kGold, 14, 1);
    }
    draw.ClampFocus();
    // A frame that repeats the picture on screen is not drawn or presented again, so an
    // idle window costs next to nothing.
    if (draw.EndFrame()) seams.video->Present();
}

void TShell::DrawScreen() {
    switch (screen) {
        case scTitle: DrawTitle(*this); break;
        case scSetup: DrawSetup(*this); break;
        case scCampaign: DrawCampaign(*this); break;
        case scHelp: DrawHelp(*this); break;
        case scSettings: DrawSettings(*this); break;
        case scSlots: DrawSlots(*this); break;
        case scPrisoner: DrawPrisoner(*this); break;
        case scChronicle: DrawChronicle(*this); break;
        case scKeys: DrawKeyBindings(*this); break;
        case scUnrest: DrawUnrest(*this); break;
        case scTreaties: DrawTreaties(*this); break;
        case scBeast: DrawBeast(*this); break;
        case scEnded: DrawEnded(*this); break;
        case scRoster: DrawRoster(*this); break;
        case scRecord: DrawRecord(*this); break;
        case scOrder: DrawOrderDialog(*this); break;
        case scCompanion: DrawPersonChooser(*this); break;
        case scProvince: DrawProvinceChooser(*this); break;
        default: DrawCampaign(*this); break;
    }
}

void TShell::GoBack() {
    draw.focusIndex = 0;
    switch (screen) {
        case scSetup: screen = scTitle; break;
        case scRoster:
        case scChronicle:
        case scTreaties:
        case scOrder: screen = scCampaign; break;
        case scHelp:
        case scSettings:
        case scSlots: screen = returnScreen; break;
        case scRecord: screen = scRoster; break;
        case scKeys: screen = scSettings; break;
        case scCompanion: screen = scOrder; break;
        case scProvince:
            screen = scOrder;
            order.target = order.savedTarget;
            break;
        case scBeast:
            game.PopBeastNotice();
            screen = scCampaign;
            break;
        default: screen = HasCampaign() ? scCampaign : scTitle; break;
    }
}

// [SECTION] Saves

void TShell::QuickSave() {
    SaveCampaign(game, prefDir + "quick.json");
}

void TShell::QuickLoad() {
    LoadCampaign(game, prefDir + "quick.json");
    screen = scCampaign;
    selectedProvince = CurrentProvince(game);
    statusMessage = "Quickloaded.";
}

void TShell::ToggleFullscreen() {
    if (!seams.video->SetFullscreen(!settings.fullscreen)) {
        statusMessage = SDL_GetError();
        return;
    }
    settings.fullscreen = !settings.fullscreen;
    settings.fullscreenStored = true;
    draw.ForceRepaint();
    try {
        SaveSettingsNow();
    } catch (const std::exception& e) {
        statusMessage = e.what();
    }
}

void TShell::SaveSettingsNow() {
    SaveSettings(settings, prefDir + "settings.json");
}

void TShell::ShowError(const std::string& message) {
    statusMessage = message;
    if (screen == scOrder) order.dialogError = message;
}

// [SECTION] Portraits

void TShell::FramedPortrait(int x, int y, int w, int h, int charId) {
    const int id = std::clamp(charId, 0, kPortraitCacheSize - 1);
    const std::uint32_t key = PortraitKey(game, id);
    TPortraitSlot& slot = portraits[static_cast<size_t>(id)];
    if (!slot.image || slot.key != key) {
        slot.image = std::make_unique<TArt>(184, 256);
        TObj ch = game.HasCampaign() ? game.Character(id) : nullptr;
        const bool female = TGame::GetStr(ch, "pronouns") == "she/her";
        if (!artwork.PaintPortrait(*slot.image, id, female, TGame::GetStr(ch, "profession")))
            PaintFallbackPortrait(*slot.image, id, female, key);
        slot.key = key;
    }
    draw.DrawFrame(x - 6, y - 6, w + 12, h + 12);
    draw.DrawImage(*slot.image, "portrait:" + IntToStr(id), x, y, w, h);
}

// [SECTION] Music and tones

void TShell::UpdateMusic() {
    const int track = ChooseTrack(game);
    if (musicDevice && musicDevice->IsOpen()) SelectTrack(music, track, baseDir + "assets/music/");
    if (!musicDevice || !musicDevice->IsOpen()) return;
    musicDevice->SetPaused(settings.muted);
    if (music.musicData.size() <= 1) return;
    const int volume = aiPaused ? settings.musicVolume * 40 / 100 : settings.musicVolume;
    while (musicDevice->QueuedBytes() <= kMusicQueueThreshold) {
        std::vector<std::int16_t> block = MixMusicBlock(music, volume);
        if (block.empty()) break;
        musicDevice->Queue(block.data(), block.size());
    }
}

void TShell::PlayTone(bool success) {
    if (!effectsDevice || !effectsDevice->IsOpen() || settings.muted) return;
    std::vector<std::int16_t> tone = ToneSamples(success, settings.effectsVolume);
    effectsDevice->Queue(tone.data(), tone.size());
}

// [SECTION] Shutdown

void TShell::Shutdown(bool saveSettings) {
    if (!started) return;
    started = false;
    if (saveSettings) {
        try {
            SaveSettingsNow();
        } catch (const std::exception& e) {
            std::cerr << "reedmark: " << e.what() << "\n";
        }
    }
    if (effectsDevice) effectsDevice->Close();
    if (musicDevice) musicDevice->Close();
    for (TPortraitSlot& slot : portraits) slot.image.reset();
    background.reset();
    titlePicture.reset();
    map.reset();
    field.reset();
    atlas.reset();
    townPicture.reset();
    world.reset();
    artwork.ReleaseTextures();
    draw.Detach();
    if (font) SDL_FreeSurface(font);
    font = nullptr;
    if (seams.video) seams.video->Close();
    if (sdlStarted) SDL_Quit();
    sdlStarted = false;
    game.ReplaceDocument(std::nullopt);
    game.ClearChronicle();
}

int TShell::Run(const TStartOptions& options) {
    try {
        Startup(options);
    } catch (const std::exception& e) {
        std::cerr << "reedmark: " << e.what() << "\n";
        if (seams.video) seams.video->ShowFatal(e.what());
        Shutdown(false);
        return 1;
    }
    while (running) RunFrame();
    Shutdown();
    return 0;
}

}  // namespace reedmark
