// The title menu and the campaign setup screen with its fellowship preview.
#include <algorithm>
#include <memory>
#include <string>

#include "art/fallback.hpp"
#include "model/campaign.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

// The world's scenario lists can be anything a modder wrote: every element read here
// goes through the range-checked getters, and the character loop runs over at most
// the 255 entries a scenario may hold.
constexpr int kMaxScenarioCharacters = 255;

}  // namespace

std::string ScenarioName(int scenario) {
    switch (scenario) {
        case 1: return "The Exiles";
        case 2: return "Gathering Rain";
        case 3: return "Verses of Defiance";
        case 4: return "The Broken Banner";
        default: return "";
    }
}

std::string LeaderName(int leader) {
    static const char* const kNames[10] = {"Lin Chao",  "Lu Zhen",  "Shi Jien", "Wu Shun", "Yang Zhen",
                                           "Song Jian", "Chao Gan", "Li Kuei",  "Li Juen", "Li Yeng"};
    return kNames[std::clamp(leader, 1, 10) - 1];
}

std::string CharacterBlurb(int id, const std::string& profession) {
    switch (id) {
        case 1: return "A disciplined guardsman whose quiet resolve steadies the fellowship.";
        case 2: return "An iron-bodied wanderer, fearless in a fight and generous at the table.";
        case 3: return "A young swordsman seeking a cause worthy of his courage.";
        case 4: return "A hard-traveled hunter who trusts a keen eye and a steady hand.";
        case 5: return "A scarred veteran who values duty above praise.";
        case 6: return "A learned organizer who wins allies through patience and good judgment.";
        case 7: return "A mountain chief whose companions prize his strength and loyalty.";
        case 8: return "A fierce outlaw whose directness leaves little room for doubt.";
        case 9: return "A river captain who reads the current as carefully as other people read a map.";
        case 10: return "A quick-witted boatman, at home among reeds, boats and shifting riverbanks.";
        case 11: return "A court politician whose careful manners conceal a relentless ambition.";
        default: break;
    }
    if (profession == "doctor") return "A practiced healer who has traveled between the river towns.";
    if (profession == "scholar") return "A reader of old books, local histories and the motives of other people.";
    if (profession == "hunter") return "A patient tracker familiar with the wooded hills and their dangers.";
    if (profession == "fisher") return "A river worker who knows the landings, shoals and changing currents.";
    if (profession == "trader") return "A well-traveled merchant with a sharp eye for opportunity.";
    if (profession == "innkeeper") return "A keeper of warm tables, traveling news and local confidences.";
    if (profession == "artisan") return "A skilled craft worker accustomed to patient, exacting labor.";
    if (profession == "performer") return "A familiar face at festivals, markets and crowded town squares.";
    if (profession == "mystic") return "A quiet wanderer who studies weather, omens and the turning seasons.";
    if (profession == "wrestler") return "A powerful fighter whose reputation was earned in the public ring.";
    if (profession == "courtier") return "An experienced servant of households, ceremonies and political affairs.";
    return "A traveler of the riverlands looking for a place and a fellowship to call home.";
}

void DrawTitle(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(108, 86, 1064, 634, "THE TARN CHRONICLES");

    // The picture is painted once and kept: the landscape sheet when there is one,
    // else a scene drawn from primitives.
    if (!s.titlePicture) {
        s.titlePicture = std::make_unique<TArt>(640, 408);
        if (!s.artwork.PaintLandscape(*s.titlePicture)) PaintFallbackTitleScene(*s.titlePicture);
    }
    d.DrawImage(*s.titlePicture, "title", 140, 188, 640, 408);

    d.DrawText(164, 120, "REEDMARK", kGold, 28);
    d.DrawText(164, 626, "A fellowship. A river. A kingdom to restore.", kPaleBlue, 18);

    d.AddMenuItem(820, 214, 310, 48, 1, '1', "New campaign", true);
    d.AddMenuItem(820, 280, 310, 48, 2, '2', "Continue", true);
    d.AddMenuItem(820, 346, 310, 48, 3, '3', "Load campaign", true);
    d.AddMenuItem(820, 412, 310, 48, 4, '4', "Settings", true);
    d.AddMenuItem(820, 478, 310, 48, 5, '5', "How to play", true);
    d.AddMenuItem(820, 544, 310, 48, 7, '0', "Quit", true);
}

void DrawSetup(TShell& s) {
    TDrawLayer& d = s.draw;
    const TSetup& setup = s.setup;
    const int humans = std::clamp(setup.humans, 0, 7);

    // [SECTION] The choices
    d.DrawPanel(30, 98, 720, 632, "CAMPAIGN SETUP");
    d.AddButton(54, 130, 670, 45, 20, "Scenario: " + IntToStr(setup.scenario) + " / " + ScenarioName(setup.scenario));
    d.AddButton(54, 190, 670, 45, 21, "Human players: " + IntToStr(setup.humans) + " (0 = observation)");
    d.AddButton(54, 250, 670, 45, 22, "Difficulty: " + DifficultyName(setup.difficulty));
    d.AddButton(54, 310, 670, 45, 23, "World seed: " + IntToStr(setup.seed) + " / fixed attributes");
    for (int i = 0; i < humans; ++i) {
        d.AddButton(54, 378 + 37 * i, 670, 31, 30 + i,
                    "Player " + IntToStr(i + 1) + ": " + LeaderName(setup.leaders[static_cast<size_t>(i)]));
    }

    // [SECTION] The fellowship the selected player would lead, read from the world
    d.DrawPanel(778, 98, 470, 632, "CHOOSE YOUR FELLOWSHIP");
    const int slot = std::clamp(setup.slot, 0, std::max(humans - 1, 0));
    const int leader = setup.leaders[static_cast<size_t>(slot)];
    TObj scenario = s.WorldScenario(setup.scenario);
    TArr characters = TGame::GetArr(scenario, "characters");
    TObj hero = leader >= 1 ? TGame::ArrObj(characters, leader - 1) : nullptr;
    TObj fellowship = leader >= 1 ? TGame::ArrObj(TGame::GetArr(scenario, "factions"), leader - 1) : nullptr;

    s.FramedPortrait(804, 134, 148, 200, leader);
    d.DrawText(976, 136, TGame::GetStr(hero, "name"), kGold, 20);
    d.DrawText(976, 182, "Body " + IntToStr(TGame::GetInt(hero, "bodyMax", 0)), kNearWhite, 20);
    d.DrawText(976, 220, "Strength " + IntToStr(TGame::GetInt(hero, "strength", 0)), kNearWhite, 18);
    d.DrawText(976, 256, "Dexterity " + IntToStr(TGame::GetInt(hero, "dexterity", 0)), kNearWhite, 18);
    d.DrawText(976, 292, "Wisdom " + IntToStr(TGame::GetInt(hero, "wisdom", 0)), kNearWhite, 18);
    d.DrawText(804, 356,
               "Integrity " + IntToStr(TGame::GetInt(hero, "integrity", 0)) + " / Mercy " +
                   IntToStr(TGame::GetInt(hero, "mercy", 0)) + " / Courage " +
                   IntToStr(TGame::GetInt(hero, "courage", 0)),
               kPaleBlue, 14);

    const int homeProvince = TGame::GetInt(hero, "province", 0);
    TObj province = homeProvince >= 1 ? TGame::ArrObj(TGame::GetArr(scenario, "provinces"), homeProvince - 1) : nullptr;
    d.DrawText(804, 394,
               (TGame::GetInt(fellowship, "home", 0) == 0 ? "Exiled in " : "Home: ") + TGame::GetStr(province, "name"),
               kGold, 18);

    // Companions: everyone else in the scenario who starts in this fellowship.
    int companions = 0;
    std::string names;
    const int count = std::min(TGame::ArrLen(characters), kMaxScenarioCharacters);
    for (int i = 0; i < count; ++i) {
        if (i + 1 == leader) continue;
        TObj ch = TGame::ArrObj(characters, i);
        if (ch == nullptr || TGame::GetInt(ch, "faction", 0) != leader) continue;
        if (companions > 0) names += ", ";
        names += TGame::GetStr(ch, "name");
        ++companions;
    }
    d.DrawText(
        804, 426,
        "Companions: " + IntToStr(companions) + " / Popularity " + IntToStr(TGame::GetInt(fellowship, "popularity", 0)),
        kNearWhite, 16);
    if (companions == 0) {
        d.DrawText(804, 456, "A fellowship begins with one traveler.", kPaleBlue, 14);
    } else {
        d.DrawWrapped(804, 456, 416, names, kPaleBlue, 16, 2);
    }
    d.DrawWrapped(804, 516, 416, CharacterBlurb(leader, TGame::GetStr(hero, "profession")), kGrey, 16, 4);

    d.AddButton(804, 642, 196, 48, 24, "Begin");
    d.AddButton(1018, 642, 202, 48, 8, "Back");
}

}  // namespace reedmark
