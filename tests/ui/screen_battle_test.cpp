// The battle screen: its layout and texts, selection, clicks and keys, each screen action
// against the engine's own BattleAction, whole battles fought by hand with keys only and
// with the mouse only, the defence prompt, saving and loading mid-battle, the music, and
// random input over many battles.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/console.hpp"
#include "model/battle.hpp"
#include "model/saves.hpp"
#include "tests/ui/shell_fixture.hpp"
#include "ui/screens.hpp"

namespace reedmark {
namespace {

using testing::THeadlessShell;

constexpr int kReturn = 13, kSpace = 32, kEscape = 27;
constexpr int kLeft = 0x40000050, kRight = 0x4000004F, kUp = 0x40000052, kDown = 0x40000051;

// Scenario 4 of the shipped world with fellowship 1 human: it holds Brackenford (9),
// its neighbour Greyspur (2) belongs to the computer fellowship 7.
struct TBattleShell : THeadlessShell {
    explicit TBattleShell(const std::string& name) : THeadlessShell(name), console(shell->game, testing::WorldPath()) {
        Run("new 4 1 2 1 730127");
        Run("set /treaties []");
        shell->screen = scCampaign;
        shell->settings.fastAI = true;
        Frames();
    }
    TJson Run(const std::string& line) {
        std::string answer;
        console.Execute(line, answer);
        TJson j = TJson::parse(answer);
        EXPECT_TRUE(j["ok"].get<bool>()) << line << " -> " << answer;
        return j["result"];
    }
    // A war order of the human (Brackenford attacks Greyspur) or of the computer
    // (Greyspur attacks Brackenford), given on that province's queue entry.
    void War(bool humanAttacks) {
        Run(std::string("set /queueIndex ") + (humanAttacks ? "10" : "24"));
        EXPECT_EQ(Run(humanAttacks ? "apply oWar 1 2 0 0" : "apply oWar 7 9 0 0"),
                  "The armies deploy. Defenders act first.");
        Frames();
    }
    TGame& Game() { return shell->game; }
    TObj B() { return Battle(Game()); }
    bool Flag(const char* key) { return TGame::GetBool(B(), key); }
    // Input as the frame loop handles it: the handler, then a frame. The frame's computer
    // tick shows the newest chronicle line, so the handler's own message is kept apart.
    void ClickAt(int x, int y) {
        shell->HandleMouseDown(x, y);
        lastStatus = shell->statusMessage;
        Frames();
    }
    void Key(int key) {
        shell->HandleKey(key, 0);
        lastStatus = shell->statusMessage;
        Frames();
    }
    void ClickCell(int q, int r) {
        auto [cx, cy] = TField::HexCentre(q, r);
        ClickAt(392 + 2 * cx, 16 + 2 * cy);
    }
    // Clicks the last frame's button with this action; false when none is shown.
    bool ClickButton(int action) {
        for (int i = shell->draw.ButtonCount() - 1; i >= 0; --i) {
            const TButton& b = shell->draw.Button(i);
            if (b.action != action) continue;
            ClickAt(b.x + b.w / 2, b.y + b.h / 2);
            return true;
        }
        return false;
    }
    void CursorTo(int q, int r) {
        while (shell->battle.cursorQ != q) Key(shell->battle.cursorQ < q ? kRight : kLeft);
        while (shell->battle.cursorR != r) Key(shell->battle.cursorR < r ? kDown : kUp);
    }
    std::vector<TButton> Buttons() {
        std::vector<TButton> all;
        for (int i = 0; i < shell->draw.ButtonCount(); ++i) all.push_back(shell->draw.Button(i));
        return all;
    }
    const TDrawCall* TextAt(int x, int y) {
        for (const TDrawCall& c : shell->draw.Log())
            if (c.kind == TDrawCall::dkText && c.a == x && c.b == y) return &c;
        return nullptr;
    }
    TConsole console;
    std::string lastStatus;
};

Hex CellOf(const TGame& g, int u) {
    TObj unit = BattleUnit(g, u);
    return {TGame::GetInt(unit, "q", 0), TGame::GetInt(unit, "r", 0)};
}

// The nearest active enemy of unit u and its distance.
int NearestEnemy(const TGame& g, int u, int& dist) {
    int best = -1;
    dist = 999;
    for (int i = 0; i < BattleUnitCount(g); ++i) {
        TObj o = BattleUnit(g, i);
        if (!TGame::GetBool(o, "active") || TGame::GetInt(o, "side", 0) == TGame::GetInt(BattleUnit(g, u), "side", 0))
            continue;
        const int d = HexDistance(CellOf(g, u).q, CellOf(g, u).r, CellOf(g, i).q, CellOf(g, i).r);
        if (d < dist) best = i, dist = d;
    }
    return best;
}

// One ready unit of the human side acts, by keys only or by the mouse only: it strikes an
// adjacent enemy, else steps to the lit cell nearest the enemy, else rests.
void PlayOneUnit(TBattleShell& s, bool keys) {
    TGame& g = s.Game();
    keys ? s.Key('n') : (void)s.ClickButton(6100);
    const int u = s->battle.selected;
    ASSERT_TRUE(s->IsSelectable(u)) << s->statusMessage;
    auto act = [&](int code, int key, Hex cell) {
        keys ? s.Key(key) : (void)s.ClickButton(code);
        if (keys) {
            s.CursorTo(cell.q, cell.r);
            s.Key('e');
        } else {
            s.ClickCell(cell.q, cell.r);
        }
    };
    int dist = 0;
    const int enemy = NearestEnemy(g, u, dist);
    const bool fit = TGame::GetInt(g.Character(TGame::GetInt(BattleUnit(g, u), "char", 0)), "body", 0) > 10;
    if (fit && enemy >= 0 && dist == 1) {
        act(3001, '2', CellOf(g, enemy));
    } else if (fit && enemy >= 0) {
        keys ? s.Key('1') : (void)s.ClickButton(3000);
        int best = -1, bestDist = dist;
        for (int c = 0; c < kFieldCells; ++c) {
            const Hex h = Hex::FromIndex(c);
            const int d = HexDistance(h.q, h.r, CellOf(g, enemy).q, CellOf(g, enemy).r);
            if (s->field->LitCells()[static_cast<size_t>(c)] && d < bestDist) best = c, bestDist = d;
        }
        if (best >= 0) act(3000, '1', Hex::FromIndex(best));
    }
    if (HasBattle(g) && s->battle.selected == u && !TGame::GetBool(BattleUnit(g, u), "spent"))
        keys ? s.Key('r') : (void)s.ClickButton(3009);
}

// Fights the open battle to its end by hand (the computer side through the frame loop).
void FightToTheEnd(TBattleShell& s, bool keys) {
    for (int guard = 0; guard < 4000 && HasBattle(s.Game()); ++guard) {
        ASSERT_LE(TGame::GetInt(s.B(), "day", 0), kLastBattleDay);
        if (s.Flag("defensePrompt"))
            keys ? s.Key('1') : (void)s.ClickButton(90);
        else if (s.Flag("deploy"))
            keys ? s.Key('1') : (void)s.ClickButton(93);
        else if (HumanBattleTurn(s.Game()))
            PlayOneUnit(s, keys);
        else
            s.Frames();
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_FALSE(HasBattle(s.Game()));
}

std::string LastChronicle(const TGame& g) {
    return g.Chronicle().empty() ? "" : g.Chronicle().back();
}

// [SECTION] Layout

TEST(BattleScreen, LayoutFollowsTheBattlePhases) {
    TBattleShell s("battle-layout");
    s.War(false);  // the computer attacks the human province: the prompt comes first
    EXPECT_EQ(s->music.currentTrack, kTrackBattle);
    std::vector<TButton> b = s.Buttons();
    ASSERT_EQ(b.size(), 8u);
    const std::tuple<int, int, int, int, int, const char*, int> expected[] = {
        {28, 628, 160, 38, 42, "Save", 0},
        {204, 628, 154, 38, 43, "Load", 0},
        {28, 674, 160, 38, 6100, "Next ready (N)", 0},
        {204, 674, 154, 38, 45, "Settings", 0},
        {28, 720, 330, 38, 44, "How to fight", 0},
        {638, 324, 536, 44, 90, "Fight manually", '1'},
        {638, 376, 536, 44, 91, "Resolve automatically", '2'},
        {638, 428, 536, 44, 92, "Withdraw", '3'},
    };
    for (size_t i = 0; i < b.size(); ++i) {
        auto [x, y, w, h, action, caption, hotkey] = expected[i];
        EXPECT_EQ(std::make_tuple(b[i].x, b[i].y, b[i].w, b[i].h, b[i].action, b[i].caption, b[i].hotkey),
                  std::make_tuple(x, y, w, h, action, std::string(caption), hotkey));
    }
    const std::tuple<int, int, const char*, std::uint32_t, int> texts[] = {
        {28, 588, "BATTLE COUNCIL", kGold, 22},
        {408, 24, "BRACKENFORD / DEFENDERS", kPaleBlue, 18},
        {408, 510, "Pennant: commander   Gold: selected   Grey: acted", kGold, 16},
        {408, 536, "Cursor 5,5 / Plain", kPaleBlue, 16},
        {180, 30, "Companion", kBlack, 20},
        {180, 64, "Your army", FactionColour(1), 20},
        {180, 98, "Commander", kProfessionBrown, 20},
        {180, 132, "Deploying", 0x2E7D4F, 20},
        {28, 238, "Lin Chao", kNameViolet, 24},
        {28, 434, "Day", kBlack, 20},
        {238, 434, "1 / 30", kBlack, 20},
        {238, 466, "Clear", kDarkBlue, 20},
    };
    const std::string prompt = WrapLines(522, "An enemy army approaches. Will you lead the defense?", 22, 3)[0];
    EXPECT_EQ(s.TextAt(644, 230)->text, prompt);
    EXPECT_EQ(s->music.currentTrack, kTrackBattle);
    if (!s->music.musicData.empty()) {
        EXPECT_GT(s->music.fadeLeft, 0);  // crossfading from the map's track
    }
    for (auto [x, y, text, colour, size] : texts) {
        const TDrawCall* c = s.TextAt(x, y);
        ASSERT_NE(c, nullptr) << text;
        EXPECT_EQ(std::make_tuple(c->text, c->colour, c->size), std::make_tuple(std::string(text), colour, size));
    }
    // The soldier count of each unit sits on its plate.
    auto [cx, cy] = TField::HexCentre(15, 3);
    const TDrawCall* count = s.TextAt(392 + 2 * cx - 9, 2 * cy + 24);
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text, "60");

    // A click on the dialog box never reaches the field beneath it.
    s.ClickAt(700, 290);
    EXPECT_EQ(std::make_pair(s->battle.cursorQ, s->battle.cursorR), std::make_pair(4, 4));
    // "Fight manually" leaves the deployment controls, since deploy is still set.
    s.Key('1');
    EXPECT_FALSE(s.Flag("defensePrompt"));
    b = s.Buttons();
    ASSERT_EQ(b.size(), 7u);
    EXPECT_EQ(std::make_tuple(b[5].x, b[5].y, b[5].w, b[5].h, b[5].action, b[5].hotkey),
              std::make_tuple(408, 690, 402, 50, 93, int('1')));
    EXPECT_EQ(std::make_tuple(b[6].x, b[6].y, b[6].w, b[6].h, b[6].action, b[6].hotkey),
              std::make_tuple(828, 690, 410, 50, 91, int('2')));
    ASSERT_NE(s.TextAt(408, 640), nullptr);
    EXPECT_EQ(s.TextAt(408, 640)->text, "Choose your banners, then an empty lit hex.");

    // After deployment: the action bar with its hotkeys, the last one "b".
    s.Key('1');
    b = s.Buttons();
    ASSERT_EQ(b.size(), 17u);
    const char hotkeys[] = "1234567890b";
    for (int i = 0; i < kBattleActionCount; ++i) {
        const TButton& a = b[static_cast<size_t>(5 + i)];
        EXPECT_EQ(std::make_tuple(a.x, a.y, a.w, a.h, a.action, a.hotkey),
                  std::make_tuple(408 + 208 * (i % 4), 636 + 40 * (i / 4), 204, 38, 3000 + i, int(hotkeys[i])));
    }
    EXPECT_EQ(b[5].caption, ">MOVE");
    EXPECT_EQ(b[15].caption, "REINFORCE");
    EXPECT_EQ(std::make_tuple(b[16].x, b[16].y, b[16].action, b[16].hotkey, b[16].caption),
              std::make_tuple(1032, 716, 91, int('a'), std::string("Auto resolve")));
    s.Key('b');
    EXPECT_EQ(s->battle.action, "reinforce");
    EXPECT_EQ(s.Buttons()[15].caption, ">REINFORCE");
}

TEST(BattleScreen, StatusWordsAndTheMovementCost) {
    TBattleShell s("battle-status");
    s.Run("startbattle 9 2 1");
    s->aiPaused = true;
    s.Frames();
    EXPECT_EQ(s->battle.cursorQ, 4);
    EXPECT_EQ(s.TextAt(180, 132)->text, "Deploying");
    s.Key('1');  // confirm the deployment
    s.Run("set /battle/side 1");
    s.Key('n');
    EXPECT_EQ(s->statusMessage, "Lin Chao awaits orders.");
    EXPECT_EQ(std::make_pair(s->battle.cursorQ, s->battle.cursorR), std::make_pair(1, 3));
    EXPECT_EQ(s.TextAt(180, 132)->text, "Ready");
    EXPECT_EQ(s.TextAt(408, 536)->text, "Cursor 2,4 / Plain / Lin Chao");
    int lit = 0;
    while (!s->field->LitCells()[static_cast<size_t>(lit)]) ++lit;
    s.CursorTo(lit % kFieldColumns, lit / kFieldColumns);
    const int cost = s->field->MovementCostCache()[static_cast<size_t>(lit)];
    const std::string line = s.TextAt(408, 536)->text;
    EXPECT_EQ(line.substr(0, 7), "Cursor ");
    EXPECT_EQ(line.substr(line.size() - 12 - IntToStr(cost).size()), " / movement " + IntToStr(cost));
    // A unit that must rest lights no preview, and so shows no (stale) cost.
    s.Run("set /characters/0/body 10");
    s.Frames();
    EXPECT_EQ(s.TextAt(180, 132)->text, "Must rest");
    EXPECT_EQ(s.TextAt(180, 132)->colour, kRed);
    EXPECT_EQ(s.TextAt(408, 536)->text.find("movement"), std::string::npos);
    const TBattleView view = s->battle;
    s.Key('r');
    // The view belongs to this battle: actions keep it, a new battle starts afresh.
    EXPECT_EQ(std::make_tuple(s->battle.selected, s->battle.cursorQ, s->battle.cursorR),
              std::make_tuple(view.selected, view.cursorQ, view.cursorR));
    EXPECT_EQ(s.TextAt(180, 132)->text, "Done");
    EXPECT_EQ(s.TextAt(180, 132)->colour, kDarkGrey);
    // With every attacker spent nobody is ready.
    s.Run("set /battle/units/2/spent true");
    s.Run("set /battle/units/3/spent true");
    s.Run("set /battle/units/4/spent true");
    s.Key('n');
    EXPECT_EQ(s->statusMessage, "No ready companion on this side.");
    s.Run("new 4 1 2 1 730127");
    s.Run("startbattle 9 2 1");
    s.Frames();
    EXPECT_EQ(std::make_tuple(s->battle.selected, s->battle.cursorQ, s->battle.cursorR, s->battle.action),
              std::make_tuple(-1, 4, 4, std::string("move")));
}

// [SECTION] The screen acts only through BattleAction

TEST(BattleScreen, EveryActionEqualsTheEngineCallOnACopy) {
    TBattleShell s("battle-equal");
    s.Run("startbattle 9 2 1");
    s.Frames();
    s.Key('1');
    while (!HumanBattleTurn(s.Game())) s.Frames();
    s->aiPaused = true;
    TGame& g = s.Game();
    struct TCase {
        std::string name;
        std::function<void()> input;
        int target;  // -2: the unit under the cursor
        std::string action;
    };
    int enemy = -1, dist = 0;
    const TCase cases[] = {
        {"key r", [&] { s.Key('r'); }, -1, "rest"},
        {"archery with e",
         [&] {
             s.Key('3');
             s.CursorTo(CellOf(g, enemy).q, CellOf(g, enemy).r);
             s.Key('e');
         },
         -2, "archery"},
        {"reinforce button", [&] { s.ClickButton(3010); }, -1, "reinforce"},
        {"move by click",
         [&] {
             s.ClickButton(3000);
             const Hex at = CellOf(g, s->battle.selected);
             s.ClickCell(at.q + 1, at.r);
         },
         -2, "move"},
        {"charge with Return",
         [&] {
             s.Key('4');
             s.CursorTo(CellOf(g, s->battle.selected).q + 2, CellOf(g, s->battle.selected).r);
             s.Key(kReturn);
         },
         -2, "charge"},
    };
    int compared = 0, carried = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!HumanBattleTurn(g)) break;
        s.Key('n');
        enemy = NearestEnemy(g, s->battle.selected, dist);
        // Replays the input on the screen, then the expected call on a copy taken before.
        TJson before = *g.Document();
        const int unit = s->battle.selected;
        c.input();
        TGame copy;
        copy.ReplaceDocument(before);
        const int target = c.target == -2 ? UnitAt(copy, s->battle.cursorQ, s->battle.cursorR) : c.target;
        const std::string answer = BattleAction(copy, unit, target, s->battle.cursorQ, s->battle.cursorR, c.action);
        EXPECT_EQ(s.lastStatus, answer);
        EXPECT_TRUE(*copy.Document() == *g.Document());
        ++compared;
        carried += answer.empty() ? 1 : 0;
    }
    EXPECT_GE(compared, 4);
    EXPECT_GE(carried, 2);  // both carried-out actions and refusals were compared
}

// [SECTION] Whole battles by hand

TEST(BattleScreen, WholeBattlesWithKeysOnlyAndTheMouseOnly) {
    struct TCase {
        bool humanAttacks;
        bool keys;
    };
    for (TCase c : {TCase{true, true}, TCase{false, false}, TCase{true, false}, TCase{false, true}}) {
        SCOPED_TRACE(std::string(c.humanAttacks ? "attacker" : "defender") + (c.keys ? " keys" : " mouse"));
        TBattleShell s("battle-whole");
        s.War(c.humanAttacks);
        ASSERT_TRUE(HasBattle(s.Game()));
        EXPECT_EQ(s.Flag("defensePrompt"), !c.humanAttacks);
        if (!c.humanAttacks) {
            c.keys ? s.Key('1') : (void)s.ClickButton(90);
            ASSERT_TRUE(s.Flag("deploy"));
            // Deployment: select the commander, then place it on the last free lit cell.
            if (c.keys) {
                s.CursorTo(15, 3);
                s.Key(kSpace);
            } else {
                s.ClickCell(15, 3);
                EXPECT_EQ(s.lastStatus, "Selected Lin Chao.");
                s.ClickCell(5, 5);  // outside the defenders' columns: only the cursor moves
                EXPECT_EQ(CellOf(s.Game(), 0), (Hex{15, 3}));
            }
            int last = kFieldCells - 1;
            while (!s->field->LitCells()[static_cast<size_t>(last)]) --last;
            const Hex to = Hex::FromIndex(last);
            ASSERT_GE(to.q, 13);
            if (c.keys) {
                s.CursorTo(to.q, to.r);
                s.Key('e');
            } else {
                s.ClickCell(to.q, to.r);
            }
            EXPECT_EQ(CellOf(s.Game(), 0), to);
        }
        FightToTheEnd(s, c.keys);
        const std::string last = LastChronicle(s.Game());
        EXPECT_TRUE(last.find("falls to") != std::string::npos ||
                    last.find("The defenders hold") != std::string::npos || s.Game().IsEnded())
            << last;
        EXPECT_EQ(s->music.currentTrack, s.Game().IsEnded() ? kTrackEnded : kTrackTitle);
    }
}

TEST(BattleScreen, PromptChoicesAndAutomaticResolution) {
    namespace fs = std::filesystem;
    {  // Withdraw is refused while the commander must rest; then it loses the province.
        TBattleShell s("battle-withdraw");
        s.War(false);
        s.Run("set /characters/0/body 10");
        s.Key('3');
        ASSERT_TRUE(HasBattle(s.Game()));
        EXPECT_TRUE(s.Flag("defensePrompt"));
        s.Run("set /characters/0/body 50");
        s.Key('3');
        EXPECT_FALSE(HasBattle(s.Game()));
        EXPECT_EQ(TGame::GetInt(s.Game().Province(9), "owner", 0), 7);
    }
    for (int way : {0, 1, 2}) {  // the prompt, the deployment panel, the action bar
        TBattleShell s("battle-auto");
        s.War(way != 0);
        if (way == 2) s.Key('1');
        s.Key(way == 2 ? 'a' : '2');
        EXPECT_FALSE(HasBattle(s.Game()));
        EXPECT_EQ(s.lastStatus, "Battle resolved using tactical AI.");
        EXPECT_TRUE(fs::exists(s.pref + "quick.json"));
        s.Frames();
        EXPECT_EQ(s->music.currentTrack, kTrackTitle);
    }
}

TEST(BattleScreen, SaveAndLoadInTheMiddleOfABattle) {
    TBattleShell s("battle-save");
    s.War(true);
    s.Key('1');
    while (!HumanBattleTurn(s.Game())) s.Frames();
    PlayOneUnit(s, false);
    s.ClickButton(42);
    ASSERT_EQ(s->screen, scSlots);
    s.Action(2001);
    ASSERT_EQ(s->screen, scCampaign);
    const TJson saved = *s.Game().AtPointer("/battle");
    while (HumanBattleTurn(s.Game())) PlayOneUnit(s, true);
    ASSERT_NE(*s.Game().AtPointer("/battle"), saved);
    s.ClickButton(43);
    s->DispatchAction(2001);
    EXPECT_EQ(s->statusMessage, "Campaign loaded.");
    s.Frames();
    EXPECT_TRUE(*s.Game().AtPointer("/battle") == saved);
    EXPECT_TRUE(s.Drew("BATTLE COUNCIL"));
    FightToTheEnd(s, false);
}

// [SECTION] Random input

TEST(BattleScreen, RandomInputNeverBreaksABattle) {
    std::mt19937 rng(2024);
    const int keys[] = {'n', kLeft, kRight, kUp, kDown, kSpace, 'r', kReturn, 'e', '1', '2',    '3',
                        '4', '5',   '6',    '7', '8',   '9',    '0', 'b',     'a', 9,   kEscape};
    for (int battle = 0; battle < 4; ++battle) {
        TBattleShell s("battle-random");
        s.War(battle % 2 == 0);
        for (int step = 0; step < 300 && HasBattle(s.Game()); ++step) {
            if (s->screen != scCampaign) s.Key(kEscape);  // back from a council screen
            const int what = static_cast<int>(rng() % 10);
            if (what < 5) {
                s.ClickAt(static_cast<int>(rng() % 1280), static_cast<int>(rng() % 800));
            } else if (what < 9) {
                const int key = keys[rng() % std::size(keys)];
                if (key == 'a' && rng() % 8 != 0) continue;  // automatic resolution only now and then
                s.Key(key);
            } else {
                s.Frames(3);
            }
            if (HasBattle(s.Game())) {
                ASSERT_LE(TGame::GetInt(s.B(), "day", 0), kLastBattleDay);
            }
        }
        if (HasBattle(s.Game())) {
            s->screen = scCampaign;
            s.Action(91);
        }
        EXPECT_FALSE(HasBattle(s.Game()));
        EXPECT_EQ(Validate(s.Game()), "");
    }
}

}  // namespace
}  // namespace reedmark
