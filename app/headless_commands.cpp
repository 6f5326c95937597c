// The headless commands that drive and read the shell: frames, keys, clicks, waits and
// actions, the state object, buttons, the draw log, settings, audio, screenshots and
// the campaign console on the shell's own TGame.
#include <SDL.h>

#include <charconv>
#include <fstream>

#include "app/headless.hpp"
#include "art/sheets.hpp"

namespace reedmark {

namespace {

bool ParseUnsigned(const std::string& s, std::uint32_t& value) {
    const char* begin = s.data();
    const char* end = s.data() + s.size();
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        begin += 2;
        base = 16;
    }
    auto [stop, ec] = std::from_chars(begin, end, value, base);
    return ec == std::errc() && stop == end && begin != end;
}

int NonNegative(const TArgs& args, size_t i) {
    int value = args.Int(i);
    if (value < 0) throw TUsageError("Not a count: " + args.Str(i));
    return value;
}

TJson Device(const std::unique_ptr<TAudioDevice>& device) {
    TJson o = TJson::object();
    bool open = device && device->IsOpen();
    o["open"] = open;
    o["paused"] = open && device->Paused();
    o["queued"] = open ? device->QueuedBytes() : 0u;
    return o;
}

TJson DrawCallJson(const TDrawCall& call) {
    switch (call.kind) {
        case TDrawCall::dkBox: return TJson::array({"box", call.a, call.b, call.c, call.d, call.colour});
        case TDrawCall::dkOutline: return TJson::array({"outline", call.a, call.b, call.c, call.d, call.colour});
        case TDrawCall::dkSegment: return TJson::array({"segment", call.a, call.b, call.c, call.d, call.colour});
        case TDrawCall::dkText: return TJson::array({"text", call.a, call.b, call.text, call.colour, call.size});
        case TDrawCall::dkImage: return TJson::array({"image", call.text, call.a, call.b, call.c, call.d});
    }
    return nullptr;
}

}  // namespace

// [SECTION] Argument parsing

std::uint32_t ColourArg(const TArgs& args, size_t i) {
    std::uint32_t value = 0;
    if (!ParseUnsigned(args.Str(i), value) || value > 0xFFFFFF) throw TUsageError("Not a colour: " + args.Str(i));
    return value;
}

bool FlagArg(const TArgs& args, size_t i) {
    const std::string& s = args.Str(i);
    if (s != "0" && s != "1") throw TUsageError("Not 0 or 1: " + s);
    return s == "1";
}

int KeyCodeOf(const std::string& name) {
    static const std::map<std::string, int> kNamed = {
        {"Return", SDLK_RETURN}, {"Escape", SDLK_ESCAPE}, {"Tab", SDLK_TAB},     {"Backspace", SDLK_BACKSPACE},
        {"Space", SDLK_SPACE},   {"Left", SDLK_LEFT},     {"Right", SDLK_RIGHT}, {"Up", SDLK_UP},
        {"Down", SDLK_DOWN},     {"F1", SDLK_F1},         {"F2", SDLK_F2},       {"F3", SDLK_F3},
        {"F4", SDLK_F4},         {"F5", SDLK_F5},         {"F6", SDLK_F6},       {"F7", SDLK_F7},
        {"F8", SDLK_F8},         {"F9", SDLK_F9},         {"F10", SDLK_F10},     {"F11", SDLK_F11},
        {"F12", SDLK_F12}};
    auto it = kNamed.find(name);
    if (it != kNamed.end()) return it->second;
    // One printable character is its own code ('a' is SDLK_a); a longer number is a raw code.
    if (name.size() == 1 && name[0] > ' ' && name[0] < 0x7F) return name[0];
    int code = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), code);
    if (ec == std::errc() && end == name.data() + name.size() && code >= 0) return code;
    return -1;
}

int ModifierOf(const std::string& name) {
    if (name == "shift") return KMOD_SHIFT;
    if (name == "lshift") return KMOD_LSHIFT;
    if (name == "rshift") return KMOD_RSHIFT;
    if (name == "ctrl") return KMOD_CTRL;
    if (name == "alt") return KMOD_ALT;
    return -1;
}

// [SECTION] Protocol

THeadless::THeadless(TShell& shell) : shell_(shell), console_(shell.game, shell.baseDir + "assets/data/world.json") {
    RegisterShellCommands();
    RegisterArtCommands();
}

void THeadless::Add(std::map<std::string, TEntry>& table, const std::string& name, int minArgs, int maxArgs, TRun run) {
    table[name] = TEntry{minArgs, maxArgs, std::move(run)};
}

bool THeadless::Execute(const std::string& rawLine, std::string& answer) {
    std::string line = Trim(rawLine);
    if (line.empty() || line[0] == '#') return false;
    size_t pos = 0;
    std::string name;
    NextToken(line, pos, name);

    // The campaign console answers for itself, exactly as reedmark-sim would.
    if (name == "game") {
        std::string rest = Trim(line.substr(pos));
        if (rest.empty() || rest[0] == '#' || !console_.Execute(rest, answer))
            answer = ErrorAnswer("Wrong number of arguments for game.");
        return true;
    }

    const std::map<std::string, TEntry>* table = &commands_;
    if (name == "art") {
        std::string sub;
        if (!NextToken(line, pos, sub)) {
            answer = ErrorAnswer("Wrong number of arguments for art.");
            return true;
        }
        name += " " + sub;
        table = &artCommands_;
    }
    auto it = table->find(name);
    if (it == table->end()) {
        answer = ErrorAnswer("Unknown command: " + name);
        return true;
    }
    std::vector<std::string> tokens;
    std::string token;
    while (NextToken(line, pos, token)) tokens.push_back(token);
    int count = static_cast<int>(tokens.size());
    if (count < it->second.minArgs || count > it->second.maxArgs) {
        answer = ErrorAnswer("Wrong number of arguments for " + name + ".");
        return true;
    }
    try {
        answer = OkAnswer(it->second.run(TArgs(std::move(tokens))));
    } catch (const std::exception& e) {
        answer = ErrorAnswer(e.what());
    }
    return true;
}

// [SECTION] Frames and input

void THeadless::RunFrames(int count) {
    for (int i = 0; i < count && shell_.running; ++i) shell_.RunFrame();
}

// The shell's frame loop drains SDL's queue itself, so input goes in as SDL events.
void THeadless::PushEvent(SDL_Event& event) {
    if (SDL_PushEvent(&event) < 0) throw std::runtime_error(std::string("Event not queued: ") + SDL_GetError());
}

TJson THeadless::State() const {
    const TShell& s = shell_;
    TJson o = TJson::object();
    const char* screenName = ScreenName(s.screen);
    o["screen"] = s.screen;
    o["screenName"] = screenName != nullptr ? screenName : "";
    o["returnScreen"] = s.returnScreen;
    o["status"] = s.statusMessage;
    o["selectedProvince"] = s.selectedProvince;
    o["openCategory"] = s.openCategory;
    o["focus"] = s.draw.focusIndex;
    o["buttonCount"] = s.draw.ButtonCount();
    o["aiPaused"] = s.aiPaused;
    o["clock"] = s.seams.clock->Now();
    o["lastAITick"] = s.lastAITick;
    o["lastQueueEntry"] = s.lastQueueEntry;
    o["lastMonthKey"] = s.lastMonthKey;
    o["autoSlot"] = s.autoSlot;
    o["prisonerChar"] = s.prisonerChar;
    o["prisonerCaptor"] = s.prisonerCaptor;
    o["listScroll"] = s.listScroll;
    o["helpPage"] = s.helpPage;
    o["slotsMode"] = s.slotsMode;
    o["recordChar"] = s.recordChar;
    o["rosterSort"] = s.rosterSort;
    o["rosterFilter"] = s.rosterFilter;
    o["townMenu"] = s.townMenu;
    o["captureSlot"] = s.settings.captureSlot;

    TJson setup = TJson::object();
    setup["scenario"] = s.setup.scenario;
    setup["humans"] = s.setup.humans;
    setup["difficulty"] = s.setup.difficulty;
    setup["seed"] = s.setup.seed;
    setup["leaders"] = s.setup.leaders;
    setup["slot"] = s.setup.slot;
    o["setup"] = std::move(setup);

    TJson order = TJson::object();
    order["order"] = s.order.order;
    order["actor"] = s.order.actor;
    order["target"] = s.order.target;
    order["quantity"] = s.order.quantity;
    order["option"] = s.order.option;
    order["quantityText"] = s.order.quantityText;
    order["replaceQuantity"] = s.order.replaceQuantity;
    order["activeField"] = s.order.activeField;
    order["fieldButton"] = s.order.fieldButton;
    order["dialogError"] = s.order.dialogError;
    order["chooserMode"] = s.order.chooserMode;
    order["chooserPage"] = s.order.chooserPage;
    order["savedTarget"] = s.order.savedTarget;
    o["order"] = std::move(order);

    TJson battle = TJson::object();
    battle["selected"] = s.battle.selected;
    battle["cursorQ"] = s.battle.cursorQ;
    battle["cursorR"] = s.battle.cursorR;
    battle["action"] = s.battle.action;
    battle["cursorMode"] = s.battle.cursorMode;
    o["battle"] = std::move(battle);

    TJson music = TJson::object();
    music["currentTrack"] = s.music.currentTrack;
    music["musicPos"] = s.music.musicPos;
    music["fadePos"] = s.music.fadePos;
    music["fadeLeft"] = s.music.fadeLeft;
    o["music"] = std::move(music);
    return o;
}

void THeadless::RegisterShellCommands() {
    TShell& s = shell_;
    auto& t = commands_;

    // Input: each command answers the state after the frame it ran.
    Add(t, "frame", 0, 1, [this](const TArgs& a) {
        RunFrames(a.Size() == 0 ? 1 : NonNegative(a, 0));
        return State();
    });
    Add(t, "key", 1, 6, [this](const TArgs& a) {
        int key = KeyCodeOf(a.Str(0));
        if (key < 0) throw TUsageError("Unknown key: " + a.Str(0));
        int mods = 0;
        for (size_t i = 1; i < a.Size(); ++i) {
            int mod = ModifierOf(a.Str(i));
            if (mod < 0) throw TUsageError("Unknown modifier: " + a.Str(i));
            mods |= mod;
        }
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        event.key.keysym.mod = static_cast<Uint16>(mods);
        PushEvent(event);
        RunFrames(1);
        return State();
    });
    Add(t, "click", 2, 2, [this](const TArgs& a) {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = SDL_PRESSED;
        event.button.clicks = 1;
        event.button.x = a.Int(0);
        event.button.y = a.Int(1);
        PushEvent(event);
        RunFrames(1);
        return State();
    });
    Add(t, "wait", 1, 1, [this, &s](const TArgs& a) {
        std::uint32_t ms = static_cast<std::uint32_t>(NonNegative(a, 0));
        std::uint32_t start = s.seams.clock->Now();
        while (s.running && s.seams.clock->Now() - start < ms) s.RunFrame();
        return State();
    });
    Add(t, "action", 1, 1, [this, &s](const TArgs& a) {
        s.DispatchAction(a.Int(0));
        RunFrames(1);
        return State();
    });
    Add(t, "quit", 0, 0, [this](const TArgs&) {
        SDL_Event event{};
        event.type = SDL_QUIT;
        PushEvent(event);
        RunFrames(1);
        return State();
    });

    // Readings: nothing changes.
    Add(t, "state", 0, 0, [this](const TArgs&) { return State(); });
    Add(t, "buttons", 0, 0, [&s](const TArgs&) {
        TJson list = TJson::array();
        for (int i = 0; i < s.draw.ButtonCount(); ++i) {
            const TButton& b = s.draw.Button(i);
            TJson o = TJson::object();
            o["x"] = b.x;
            o["y"] = b.y;
            o["w"] = b.w;
            o["h"] = b.h;
            o["action"] = b.action;
            o["caption"] = b.caption;
            o["hotkey"] = b.hotkey;
            list.push_back(std::move(o));
        }
        return list;
    });
    Add(t, "draws", 0, 0, [&s](const TArgs&) {
        TJson list = TJson::array();
        for (const TDrawCall& call : s.draw.Log()) list.push_back(DrawCallJson(call));
        return list;
    });
    Add(t, "settings", 0, 0, [&s](const TArgs&) {
        // The values go into a copy, so reading them leaves the shell's object untouched.
        TSettings copy = s.settings;
        StoreSettingsValues(copy);
        return copy.object;
    });
    Add(t, "audio", 0, 0, [&s](const TArgs&) {
        TJson o = TJson::object();
        o["music"] = Device(s.musicDevice);
        o["effects"] = Device(s.effectsDevice);
        return o;
    });
    Add(t, "screenshot", 1, 1, [&s](const TArgs& a) {
        SDL_Renderer* renderer = s.seams.video ? s.seams.video->Renderer() : nullptr;
        if (renderer == nullptr) throw std::runtime_error("No canvas.");
        TArt shot(kCanvasWidth, kCanvasHeight);
        SDL_Rect whole{0, 0, kCanvasWidth, kCanvasHeight};
        if (SDL_RenderReadPixels(renderer, &whole, SDL_PIXELFORMAT_ARGB8888, shot.MutablePixels(), kCanvasWidth * 4) !=
            0)
            throw std::runtime_error(std::string("Canvas not readable: ") + SDL_GetError());
        SavePNG(shot, a.Str(0), false);
        return TJson("");
    });
    Add(t, "audiodump", 2, 2, [&s](const TArgs& a) {
        const std::string& which = a.Str(0);
        if (which != "music" && which != "effects") throw TUsageError("Not an audio device: " + which);
        const auto& device = which == "music" ? s.musicDevice : s.effectsDevice;
        static const std::vector<std::uint8_t> kNothing;
        const std::vector<std::uint8_t>* bytes = device ? device->Recording() : nullptr;
        if (bytes == nullptr) bytes = &kNothing;
        std::ofstream out(a.Str(1), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
        out.close();
        if (!out) throw std::runtime_error("Cannot write " + a.Str(1));
        return TJson(bytes->size());
    });
}

}  // namespace reedmark
