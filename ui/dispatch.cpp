// Input dispatch: every key and click becomes an action code, and DispatchAction is the
// one place where screens change and where the campaign is asked to act for the player.
//
// [SECTION] Key handling, in order (the first step that applies ends the handling)
//   1 capture a binding   2 translate bindings   3 digit hotkeys (not in the order dialog)
//   4 Escape: close the town menu or the category, else Back (never on the prisoner and
//     unrest screens)   5 'l' chronicle   6 roster 's' and 'f'   7 Tab focus
//   8 the order dialog's fields   9 F5 / F9   10 battle keys   11 Up, Down, Return, Space
//   (F11 after step 2 switches full-screen; it is no bindable action)
#include <algorithm>
#include <filesystem>

#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/events.hpp"
#include "model/orders.hpp"
#include "model/prisoners.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyTab = 9;
constexpr int kKeySpace = 32;
constexpr int kKeyBackspace = 8;
constexpr int kKeyF5 = 0x4000003E;
constexpr int kKeyF9 = 0x40000042;
constexpr int kKeyF11 = 0x40000044;
constexpr int kKeyLeft = 0x40000050;
constexpr int kKeyRight = 0x4000004F;
constexpr int kKeyUp = 0x40000052;
constexpr int kKeyDown = 0x40000051;

bool IsDigitKey(int key) {
    return key >= '0' && key <= '9';
}

}  // namespace

// [SECTION] Keys

void TShell::HandleKey(int key, int modifiers) {
    // 1. A binding being captured takes every key.
    if (settings.captureSlot >= 0) {
        const std::string message = CaptureKey(settings, key);
        if (!message.empty()) {
            statusMessage = message;
            return;
        }
        try {
            SaveSettingsNow();
        } catch (const std::exception& e) {
            statusMessage = e.what();
        }
        return;
    }
    // 2. Bound keys act as their standard keys.
    key = TranslateKey(settings, key);
    // F11, unless a binding took it, switches full-screen and does nothing else.
    if (key == kKeyF11) {
        ToggleFullscreen();
        return;
    }
    const bool battleScreen = screen == scCampaign && HasBattle(game);
    // 3. Hotkeys.
    if ((IsDigitKey(key) || (battleScreen && (key == 'a' || key == 'b'))) && screen != scOrder) {
        for (int i = draw.ButtonCount() - 1; i >= 0; --i) {
            if (draw.Button(i).hotkey == key) {
                DispatchAction(draw.Button(i).action);
                return;
            }
        }
    }
    // 4. Escape.
    if (key == kKeyEscape) {
        if (screen == scCampaign && HasCampaign() && TGame::GetBool(game.Root(), "town") && townMenu != 0) {
            townMenu = 0;
            draw.focusIndex = 0;
        } else if (screen == scCampaign && openCategory != -1) {
            openCategory = -1;
            draw.focusIndex = 0;
        } else if (screen != scPrisoner && screen != scUnrest) {
            GoBack();
        }
        return;
    }
    // 5. The chronicle.
    if (key == 'l' && screen == scCampaign && !HasBattle(game)) {
        screen = scChronicle;
        listScroll = 0;
        return;
    }
    // 6. Roster sort and filter.
    if (screen == scRoster && (key == 's' || key == 'f')) {
        DispatchAction(key == 's' ? 6101 : 6102);
        return;
    }
    // 7. Tab moves the focus.
    if (key == kKeyTab) {
        const int count = std::max(draw.ButtonCount(), 1);
        if (modifiers & KMOD_SHIFT)
            draw.focusIndex = (draw.focusIndex - 1 + draw.ButtonCount()) % count;
        else
            draw.focusIndex = (draw.focusIndex + 1) % count;
        battle.cursorMode = false;
        if (screen == scOrder) {
            order.activeField = 4;
            for (int field = 0; field < 4; ++field) {
                if (order.fieldButton[static_cast<size_t>(field)] == draw.focusIndex) order.activeField = field;
            }
        }
        return;
    }
    // 8. The order dialog's fields take arrows, digits and Backspace.
    if (screen == scOrder && (key == kKeyLeft || key == kKeyRight || key == kKeyUp || key == kKeyDown ||
                              IsDigitKey(key) || key == kKeyBackspace)) {
        HandleOrderKey(key);
        return;
    }
    // 9. Quick save and quick load.
    if (key == kKeyF5) {
        if (!HasCampaign()) return;
        try {
            QuickSave();
            statusMessage = "Quicksaved.";
        } catch (const std::exception& e) {
            statusMessage = e.what();
        }
        return;
    }
    if (key == kKeyF9) {
        try {
            QuickLoad();
        } catch (const std::exception& e) {
            statusMessage = e.what();
        }
        return;
    }
    // 10. The battle keys; Up and Down (and Return outside cursor mode) go on to 11.
    if (battleScreen && HandleBattleKey(key)) return;
    // 11. Focus and activation.
    if (key == kKeyUp || key == kKeyDown) {
        const int count = std::max(draw.ButtonCount(), 1);
        draw.focusIndex =
            key == kKeyDown ? (draw.focusIndex + 1) % count : (draw.focusIndex - 1 + draw.ButtonCount()) % count;
        return;
    }
    if ((key == kKeyReturn || key == kKeySpace) && draw.focusIndex >= 0 && draw.focusIndex < draw.ButtonCount())
        DispatchAction(draw.Button(draw.focusIndex).action);
}

void TShell::HandleMouseDown(int x, int y) {
    for (int i = draw.ButtonCount() - 1; i >= 0; --i) {
        if (draw.Button(i).Contains(x, y)) {
            draw.focusIndex = i;
            DispatchAction(draw.Button(i).action);
            return;
        }
    }
    HandleScreenClick(x, y);
}

// [SECTION] Actions

void TShell::DispatchAction(int code) {
    const bool categoryAction = (code >= 7001 && code <= 7009) || code == 7080 || code == 7090 || code == 7091;
    if (code != 0 && !categoryAction) openCategory = -1;
    try {
        RunAction(code);
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TShell::RunAction(int code) {
    if (code >= 20 && code <= 23) {
        switch (code) {
            case 20: setup.scenario = setup.scenario % 4 + 1; break;
            case 21: setup.humans = (setup.humans + 1) % 8; break;
            case 22: setup.difficulty = setup.difficulty % 5 + 1; break;
            default: setup.seed += 1; break;
        }
        return;
    }
    if (code >= 30 && code <= 36) {
        const int slot = code - 30;
        setup.slot = slot;
        // The next leader that no other player slot holds.
        for (int tries = 0; tries < 10; ++tries) {
            int& leader = setup.leaders[static_cast<size_t>(slot)];
            leader = leader % 10 + 1;
            bool taken = false;
            for (int other = 0; other < 7; ++other) {
                if (other != slot && setup.leaders[static_cast<size_t>(other)] == leader) taken = true;
            }
            if (!taken) break;
        }
        return;
    }
    if (code >= 100 && code <= 139) {
        OpenOrder(code - 100);
        return;
    }
    if (code >= 1001 && code <= 1255) {
        recordChar = code - 1000;
        TObj ch = game.Character(recordChar);
        statusMessage = TGame::GetStr(ch, "name") + " / " + TGame::GetStr(ch, "profession") + " / Integrity " +
                        IntToStr(TGame::GetInt(ch, "integrity", 0)) + " Mercy " +
                        IntToStr(TGame::GetInt(ch, "mercy", 0)) + " Courage " +
                        IntToStr(TGame::GetInt(ch, "courage", 0));
        screen = scRecord;
        return;
    }
    if (code >= 2001 && code <= 2010) {
        const std::string path = prefDir + "slot" + IntToStr(code - 2000) + ".json";
        if (slotsMode == 1) {
            SaveCampaign(game, path);
            statusMessage = "Saved " + path;
        } else {
            LoadCampaign(game, path);
            selectedProvince = CurrentProvince(game);
            statusMessage = "Campaign loaded.";
        }
        screen = scCampaign;
        return;
    }
    if (code >= 3000 && code <= 3010) {
        BattleCommand(code - 3000);
        return;
    }
    if (code >= 4000 && code <= 4003) {
        static const char* const kDecisions[] = {"recruit", "hold", "release", "execute"};
        statusMessage = ResolvePrisoner(game, prisonerChar, prisonerCaptor, kDecisions[code - 4000]);
        screen = scCampaign;
        QuickSave();
        return;
    }
    if (code >= 5000 && code <= 5005) {
        settings.captureSlot = code - 5000;
        return;
    }
    if (code >= 6301 && code <= 6555) {
        PickPerson(code - 6300);
        return;
    }
    if (code >= 6601 && code <= 6605) {
        townMenu = code == 6605 ? 0 : code - 6600;
        return;
    }
    if (code >= 7001 && code <= 7009) {
        openCategory = code - 7000;
        draw.focusIndex = 10;
        return;
    }
    if (code >= 60 && code <= 67) {
        OrderDialogAction(code);
        return;
    }
    switch (code) {
        case 1:
            screen = scSetup;
            draw.focusIndex = 0;
            break;
        case 2:
            if (HasCampaign()) {
                screen = scCampaign;
            } else if (std::filesystem::exists(prefDir + "quick.json")) {
                LoadCampaign(game, prefDir + "quick.json");
                selectedProvince = CurrentProvince(game);
                screen = scCampaign;
            } else {
                statusMessage = "No quicksave yet. Start a new campaign or choose Load.";
            }
            break;
        case 3:
            returnScreen = scTitle;
            slotsMode = 0;
            screen = scSlots;
            break;
        case 4:
            returnScreen = scTitle;
            screen = scSettings;
            break;
        case 5:
            returnScreen = scTitle;
            helpPage = 0;
            screen = scHelp;
            break;
        case 7: running = false; break;
        case 8: GoBack(); break;
        case 24: BeginCampaign(); break;
        case 40:
            screen = scRoster;
            listScroll = 0;
            break;
        case 41: rosterView = (rosterView + 1) % 3; break;
        case 42:
        case 43:
            returnScreen = scCampaign;
            slotsMode = code == 42 ? 1 : 0;
            screen = scSlots;
            break;
        case 44:
            returnScreen = scCampaign;
            helpPage = 0;
            screen = scHelp;
            break;
        case 45:
            returnScreen = scCampaign;
            screen = scSettings;
            break;
        case 46: screen = scTitle; break;
        case 47: aiPaused = !aiPaused; break;
        case 48:
            settings.fastAI = !settings.fastAI;
            SaveSettingsNow();
            break;
        case 50:
            if (screen == scChronicle)
                listScroll += 12;
            else
                listScroll = std::max(listScroll - (screen == scRoster ? 8 : 12), 0);
            break;
        case 51:
            if (screen == scChronicle)
                listScroll = std::max(listScroll - 12, 0);
            else
                listScroll += screen == scRoster ? 8 : 12;
            break;
        case 70: helpPage = (helpPage + 5) % 6; break;
        case 71: helpPage = (helpPage + 1) % 6; break;
        case 80:
            settings.musicVolume = (settings.musicVolume + 10) % 110;
            music.currentTrack = -1;
            SaveSettingsNow();
            break;
        case 81:
            settings.muted = !settings.muted;
            SaveSettingsNow();
            break;
        case 82:
            settings.fastAI = !settings.fastAI;
            SaveSettingsNow();
            break;
        case 83:
            settings.effectsVolume = (settings.effectsVolume + 10) % 110;
            SaveSettingsNow();
            break;
        case 84: screen = scKeys; break;
        case 85:
            settings.reducedMotion = !settings.reducedMotion;
            SaveSettingsNow();
            break;
        case 90:
            if (HasBattle(game)) game.SetBool(Battle(game), "defensePrompt", false);
            break;
        case 91:
            ResolveBattleAuto(game);
            statusMessage = "Battle resolved using tactical AI.";
            if (!HasBattle(game)) QuickSave();
            break;
        case 92: Withdraw(); break;
        case 93:
            if (HasBattle(game)) game.SetBool(Battle(game), "deploy", false);
            break;
        case 6000:
        case 6001:
            statusMessage = ResolveRiot(game, selectedProvince, code == 6000);
            if (!TGame::GetBool(game.Province(selectedProvince), "riot")) screen = scCampaign;
            break;
        case 6100: SelectNextReady(); break;
        case 6101:
            rosterSort = (rosterSort + 1) % 8;
            listScroll = 0;
            break;
        case 6102:
            rosterFilter = (rosterFilter + 1) % 4;
            listScroll = 0;
            break;
        case 6205:
            screen = scOrder;
            order.dialogError.clear();
            draw.focusIndex = 0;
            break;
        case 6206: GoBack(); break;
        case 6230: order.chooserPage = std::max(order.chooserPage - 6, 0); break;
        case 6231:
            if (order.chooserPage + 6 <
                static_cast<int>(BuildChooserList(*this, order.chooserMode == 0 ? 0 : 1).size()))
                order.chooserPage += 6;
            break;
        case 6701:
            OpenOrder(oHunt);
            order.option = 1;
            break;
        case 6750:
            game.PopBeastNotice();
            screen = scCampaign;
            draw.focusIndex = 0;
            break;
        case 6751: PlanBeastExpedition(); break;
        case 7080:
            openCategory = -1;
            draw.focusIndex = 0;
            break;
        case 7090:
        case 7091:
            openCategory = -1;
            screen = code == 7090 ? scChronicle : scTreaties;
            listScroll = 0;
            break;
        default: break;
    }
}

void TShell::BeginCampaign() {
    NewCampaign(game, baseDir + "assets/data/world.json", setup.scenario, setup.humans, setup.difficulty,
                std::vector<int>(setup.leaders.begin(), setup.leaders.end()), setup.seed);
    selectedProvince = CurrentProvince(game);
    screen = scCampaign;
    statusMessage = "Your chronicle begins. See Help for the first steps.";
    draw.focusIndex = 0;
    QuickSave();
}

void TShell::PlanBeastExpedition() {
    const int p = TGame::GetInt(game.FirstBeastNotice(), "province", 0);
    game.PopBeastNotice();
    selectedProvince = p;
    screen = scCampaign;
    TObj prov = game.Province(p);
    if (prov != nullptr && p == CurrentProvince(game) && game.IsHumanFaction(CurrentFaction(game)) &&
        TGame::GetInt(prov, "beast", 0) > 0) {
        OpenOrder(oBeasts);
    } else {
        statusMessage =
            "Choose Develop > Beast expedition when " + TGame::GetStr(prov, "name") + " has its next order.";
    }
}

// [SECTION] Battle commands that need no battle screen of their own

void TShell::Withdraw() {
    TObj b = Battle(game);
    if (b == nullptr) return;
    const int commander = TGame::GetInt(b, "commander0", 0);
    for (int u = 0; u < BattleUnitCount(game); ++u) {
        TObj unit = BattleUnit(game, u);
        if (TGame::GetInt(unit, "char", 0) == commander) {
            BattleAction(game, u, -1, TGame::GetInt(unit, "q", 0), TGame::GetInt(unit, "r", 0), "retreat");
            return;
        }
    }
}

void TShell::BattleCommand(int index) {
    battle.action = kBattleActions[static_cast<size_t>(index)];
    if (battle.action == "rest" || battle.action == "reinforce") {
        statusMessage = BattleAction(game, battle.selected, -1, battle.cursorQ, battle.cursorR, battle.action);
    }
}

}  // namespace reedmark
