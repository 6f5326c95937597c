// The shell: owner of everything that lives as long as the program (the render target,
// the font, the audio devices, the sprite sheets, the atlas, the world document, the
// settings and the one TGame), the start-up, the frame loop and the shutdown. Its state
// is one object; screens draw from it and register buttons, and only the key handler
// and DispatchAction change it.
//
// [SECTION] Frame loop, every 16 ms
//   1. events: quit, key down (HandleKey), mouse down (HandleMouseDown)
//   2. a pending beast notice, then captives, then riots of human fellowships raise
//      their screens (only from the campaign screen)
//   3. computer players, when not paused and the step interval has passed
//   4. DrawFrame, UpdateMusic, sleep 16 ms
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "art/art.hpp"
#include "art/sheets.hpp"
#include "atlas/atlas.hpp"
#include "atlas/field_paint.hpp"
#include "atlas/map_paint.hpp"
#include "model/game.hpp"
#include "ui/draw.hpp"
#include "ui/music.hpp"
#include "ui/platform.hpp"
#include "ui/settings.hpp"

namespace reedmark {

enum TScreen : int {
    scTitle = 0,
    scSetup = 1,
    scCampaign = 2,
    scRoster = 3,
    scHelp = 4,
    scSettings = 5,
    scSlots = 6,
    scOrder = 7,
    scPrisoner = 8,
    scChronicle = 9,
    scRecord = 10,
    scKeys = 11,
    scUnrest = 12,
    scTreaties = 13,
    scCompanion = 14,
    scProvince = 15,
    scBeast = 16,
    scEnded = 17,
};
constexpr int kScreenCount = 18;
const char* ScreenName(int screen);

constexpr const char* kWelcome = "Welcome, wayfarer. The river remembers every oath.";
constexpr std::uint32_t kNormalStepInterval = 180;
constexpr std::uint32_t kFastStepInterval = 15;
constexpr std::uint32_t kFrameSleep = 16;
constexpr int kPortraitCacheSize = 256;

// Campaign setup choices, kept between visits of the setup screen.
struct TSetup {
    int scenario = 1;
    int humans = 1;
    int difficulty = 2;
    std::uint32_t seed = 730127;
    std::array<int, 7> leaders = {1, 2, 3, 4, 5, 6, 7};
    int slot = 0;
};

// The order being composed in the order dialog and its field state.
struct TOrderDialog {
    int order = 0;
    int actor = 0;
    int target = 0;
    int quantity = 0;
    int option = 0;
    std::string quantityText;
    bool replaceQuantity = false;
    int activeField = 4;
    std::array<int, 4> fieldButton = {-1, -1, -1, -1};
    std::string dialogError;
    int chooserMode = 0;
    int chooserPage = 0;
    int savedTarget = 0;
};

// The battle screen's selection and cursor.
struct TBattleView {
    int selected = -1;
    int cursorQ = 4;
    int cursorR = 4;
    std::string action = "move";
    bool cursorMode = false;
};

struct TPortraitSlot {
    std::unique_ptr<TArt> image;
    std::uint32_t key = 0;
};

// How the shell is started: the seams, the command line and, for the headless driver
// and tests, directories that replace the executable's rule and SDL's preference path.
struct TStartOptions {
    std::vector<std::string> args;
    std::string baseDir;
    std::string prefDir;
};

class TShell {
   public:
    explicit TShell(TSeams seams);
    ~TShell();
    TShell(const TShell&) = delete;
    TShell& operator=(const TShell&) = delete;

    // [SECTION] Lifecycle
    // Start-up in its fixed order; throws TStartupError (nothing is saved then).
    void Startup(const TStartOptions& options);
    // One iteration of the frame loop.
    void RunFrame();
    // Settings saved (not after a failed start-up), devices closed, pictures, textures
    // and SDL released.
    void Shutdown(bool saveSettings = true);
    // The whole application: start-up, the loop while running, shutdown. Answers the
    // process exit status (1 after a fatal start-up error, which is shown to the player).
    int Run(const TStartOptions& options);

    // [SECTION] Operations the screens and handlers share
    void DrawFrame();
    void GoBack();
    void HandleKey(int key, int modifiers);
    void HandleMouseDown(int x, int y);
    void DispatchAction(int code);
    void UpdateMusic();
    void PlayTone(bool success);
    // A battle unit the player may select now (own side while deploying, else the
    // acting side on a human turn).
    bool IsSelectable(int index) const;
    void SaveSettingsNow();
    void QuickSave();
    void QuickLoad();
    // F11: desktop full-screen on or off, kept in the settings.
    void ToggleFullscreen();
    // Opens the order dialog for an order of the current turn.
    void OpenOrder(int order);
    // Shows an error of an action: the status line, and the order dialog's error line.
    void ShowError(const std::string& message);
    bool HasCampaign() const { return game.HasCampaign(); }
    // The framed portrait of a character (repainted when its fellowship colour changes).
    void FramedPortrait(int x, int y, int w, int h, int charId);
    // Text of the world document's scenario s (1..4): its characters, factions, provinces.
    TObj WorldScenario(int scenario) const;

    // [SECTION] The shell state
    bool running = true;
    int screen = scTitle;
    int returnScreen = scTitle;
    std::string statusMessage = kWelcome;
    int selectedProvince = 0;
    int openCategory = -1;
    int prisonerChar = 0;
    int prisonerCaptor = 0;
    bool aiPaused = false;
    std::uint32_t lastAITick = 0;
    int lastQueueEntry = 0;
    long long lastMonthKey = 0;
    int autoSlot = 0;
    std::string baseDir;
    std::string prefDir;

    int listScroll = 0;
    int helpPage = 0;
    int slotsMode = 0;
    int recordChar = 0;
    int rosterSort = 0;
    int rosterFilter = 0;
    int rosterView = 0;
    int townMenu = 0;
    TSetup setup;
    TOrderDialog order;
    TBattleView battle;

    // [SECTION] What the shell owns
    TSeams seams;
    TDrawLayer draw;
    TGame game;
    TSettings settings;
    TMusicState music;
    TArtwork artwork;
    std::unique_ptr<TAtlas> atlas;
    std::unique_ptr<TMapPainter> map;
    std::unique_ptr<TField> field;
    std::unique_ptr<TJson> world;
    std::unique_ptr<TAudioDevice> musicDevice;
    std::unique_ptr<TAudioDevice> effectsDevice;
    std::unique_ptr<TArt> background;
    std::unique_ptr<TArt> titlePicture;
    std::unique_ptr<TArt> townPicture;
    std::array<TPortraitSlot, kPortraitCacheSize> portraits;
    SDL_Surface* font = nullptr;  // the glyph sheet
    bool sdlStarted = false;
    bool started = false;
    std::string shownBattle;  // which battle the battle view belongs to ("" for none)

   private:
    void RaiseEventScreens();
    void PaceComputerPlayers();
    void DrawScreen();
    void AutoSave();
    // The body of DispatchAction; errors reach DispatchAction's handler.
    void RunAction(int code);
    void BeginCampaign();
    void PlanBeastExpedition();
    // A click that hit no button, on a screen that answers clicks itself.
    void HandleScreenClick(int x, int y);
    // The order dialog and its choosers.
    void HandleOrderKey(int key);
    void OrderDialogAction(int code);
    void PickPerson(int character);
    // The battle screen.
    void TrackBattle();
    void BattleClick(int x, int y);
    void PlaceDeployedUnit(int q, int r);
    void ActAtCursor();
    bool HandleBattleKey(int key);
    void BattleCommand(int index);
    void SelectNextReady();
    void Withdraw();
};

// The patterned background colour of canvas pixel (px, py).
std::uint32_t BackgroundColour(int px, int py);
// The directory holding assets/: the executable's own, else its parent (with a
// trailing separator).
std::string FindBaseDir(const std::string& executableDir);

}  // namespace reedmark
