// The shipped world data: reproducible from its generator, geography that matches the
// atlas, people and fellowships that make every scenario a sound start for every leader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "atlas/atlas.hpp"
#include "model/campaign.hpp"
#include "model/document_io.hpp"
#include "model/game.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

const std::string kSource = REEDMARK_SOURCE_DIR;
const std::string kWorldPath = kSource + "/assets/data/world.json";
const std::string kRulesPath = kSource + "/assets/data/rules.json";

const TJson& World() {
    static const TJson world = ReadJsonFile(kWorldPath);
    return world;
}

const TJson& Scenario(int k) {
    return World()["scenarios"][static_cast<size_t>(k - 1)];
}

const TAtlas& Atlas() {
    static const TAtlas atlas;
    return atlas;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const TJson& Province(int k, int p) {
    return Scenario(k)["provinces"][static_cast<size_t>(p - 1)];
}
const TJson& Person(int k, int c) {
    return Scenario(k)["characters"][static_cast<size_t>(c - 1)];
}
const TJson& Fellowship(int k, int f) {
    return Scenario(k)["factions"][static_cast<size_t>(f - 1)];
}

TEST(WorldData, GeneratorReproducesTheCommittedFiles) {
    testing::TTempWorld out(nullptr);
    std::string command = std::string(REEDMARK_WORLDGEN_PATH) + " " + kSource + "/tools/worldgen " + out.Dir();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(FileText(out.Path("world.json")) == FileText(kWorldPath)) << "regenerate assets/data/world.json";
    EXPECT_TRUE(FileText(out.Path("rules.json")) == FileText(kRulesPath)) << "regenerate assets/data/rules.json";
}

// Runs the generator on the shipped tables with one edit to scenarios.txt; true when it
// accepts them.
bool GeneratorAccepts(const std::string& from, const std::string& to) {
    testing::TTempWorld dir(nullptr);
    for (const char* name : {"provinces.tsv", "characters.tsv"})
        std::filesystem::copy_file(kSource + "/tools/worldgen/" + name, dir.Path(name));
    std::string text = FileText(kSource + "/tools/worldgen/scenarios.txt");
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    testing::WriteText(dir.Path("scenarios.txt"), text);
    std::string command = std::string(REEDMARK_WORLDGEN_PATH) + " " + dir.Dir() + " " + dir.Dir() + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

TEST(WorldData, GeneratorRefusesBrokenTables) {
    EXPECT_TRUE(GeneratorAccepts("growth 0", "growth 0"));
    EXPECT_FALSE(GeneratorAccepts("realm 11 39 ", "realm 11 46 "));                // the capital held twice
    EXPECT_FALSE(GeneratorAccepts("exile 1 39 food=80", "exile 1 39 fod=80"));     // a misspelt key
    EXPECT_FALSE(GeneratorAccepts(": 1 34 35 36 37 38\n", ": 34 35 36 37 38\n"));  // a party without its leader
    EXPECT_FALSE(GeneratorAccepts("fellowship 8 145\n", ""));                      // a fellowship left out
    EXPECT_FALSE(GeneratorAccepts("realm 11 46 soldiers=60", "realm 11 46 soldiers=180"));
    // Too many people for the capital's castles: the started campaign fails validation.
    EXPECT_FALSE(GeneratorAccepts(": 11 12* 13*\n",
                                  ": 11 12* 13* 17 18 19 20 21 22 23 114 115 116 117 118 119 120 121 122 123 124 "
                                  "125 126 127 128 129 130 131 132 133 134 135 136 137 138 139\n"));
}

TEST(WorldData, EveryScenarioStartsAndValidatesForEveryLeader) {
    for (int k = 1; k <= kScenarioCount; ++k) {
        for (int leader = 1; leader <= kPlayableLeaders; ++leader) {
            TGame game;
            NewCampaign(game, kWorldPath, k, 1, 2, {leader}, 17u * k + leader);
            EXPECT_EQ(Validate(game), "") << "scenario " << k << " leader " << leader;
            EXPECT_TRUE(game.IsHumanFaction(leader));
        }
        TGame watched;
        NewCampaign(watched, kWorldPath, k, 0, 5, {}, 1);
        EXPECT_EQ(Validate(watched), "") << "scenario " << k;
        TGame crowded;
        NewCampaign(crowded, kWorldPath, k, 7, 1, {10, 9, 8, 7, 6, 5, 4}, 99);
        EXPECT_EQ(Validate(crowded), "") << "scenario " << k;
    }
}

TEST(WorldData, GeographyFollowsTheAtlas) {
    auto river = Atlas().MainRiverProvinces();
    for (int k = 1; k <= kScenarioCount; ++k) {
        ASSERT_EQ(Scenario(k)["provinces"].size(), static_cast<size_t>(kProvinceCount));
        std::set<int> seeds;
        for (int p = 1; p <= kProvinceCount; ++p) {
            const TJson& prov = Province(k, p);
            EXPECT_EQ(prov["id"], p);
            std::vector<int> neighbours = prov["neighbors"].get<std::vector<int>>();
            EXPECT_EQ(neighbours, Atlas().TouchingProvinces(p)) << "province " << p;
            EXPECT_EQ(prov["r"], (p - 1) / 7);
            EXPECT_EQ(prov["river"], river[p]) << "province " << p;
            int seed = prov["mapSeed"];
            EXPECT_NE(seed, 0);
            EXPECT_TRUE(seeds.insert(seed).second) << "mapSeed repeats at " << p;
            EXPECT_GE(prov["castles"], 1);
            EXPECT_LE(prov["castles"], 7);
            EXPECT_EQ(prov["name"], Province(1, p)["name"]);  // the land keeps its names
        }
    }
}

TEST(WorldData, PeopleHaveTheirNamesAndTalents) {
    static const char* const leaders[] = {"Lin Chao",  "Lu Zhen",  "Shi Jien", "Wu Shun", "Yang Zhen",
                                          "Song Jian", "Chao Gan", "Li Kuei",  "Li Juen", "Li Yeng"};
    static const std::set<std::string> trades = {"doctor",  "scholar",   "hunter", "fisher",   "trader",   "innkeeper",
                                                 "artisan", "performer", "mystic", "wrestler", "courtier", "outlaw",
                                                 "smith",   "boatman",   "guard",  "farmer"};
    for (int k = 1; k <= kScenarioCount; ++k) {
        ASSERT_EQ(Scenario(k)["characters"].size(), static_cast<size_t>(kCharacterCount));
        for (int c = 1; c <= kPlayableLeaders; ++c) EXPECT_EQ(Person(k, c)["name"], leaders[c - 1]);
        EXPECT_EQ(Person(k, kChancellor)["name"], "Gao Kiu");
        std::set<std::string> names;
        int archers = 0, sages = 0, navigators = 0, upright = 0;
        for (int c = 1; c <= kCharacterCount; ++c) {
            const TJson& ch = Person(k, c);
            EXPECT_TRUE(names.insert(ch["name"].get<std::string>()).second) << ch["name"];
            EXPECT_TRUE(ch.contains("xp"));
            if (c > kChancellor) {
                EXPECT_TRUE(trades.count(ch["profession"].get<std::string>())) << c;
            }
            archers += ch["dexterity"] >= 61;
            sages += ch["wisdom"] >= 80;
            navigators += ch["navigator"].get<bool>();
            upright += ch["integrity"] >= 90;
        }
        EXPECT_GE(archers, 40);
        EXPECT_GE(sages, 5);
        EXPECT_LE(sages, 25);
        EXPECT_GE(navigators, 15);
        EXPECT_GE(upright, 10);
    }
}

// A homeless fellowship travels with its party in an unclaimed province where it can
// settle at once; a settled one governs its seat with its leader.
TEST(WorldData, EveryFellowshipHasASoundStart) {
    for (int k = 1; k <= kScenarioCount; ++k) {
        const TJson& s = Scenario(k);
        ASSERT_EQ(s["factions"].size(), static_cast<size_t>(kScenarioFactions));
        EXPECT_LT(s["year"], 327);
        for (int f = 1; f <= kScenarioFactions; ++f) {
            const TJson& fac = Fellowship(k, f);
            const TJson& leader = Person(k, f);
            int home = fac["home"];
            int parties = 0;
            for (const TJson& x : s["exileParties"]) parties += x["leader"] == f;
            EXPECT_EQ(leader["faction"], f);
            if (home == 0) {
                ASSERT_EQ(parties, 1) << "scenario " << k << " fellowship " << f;
                int at = leader["province"];
                EXPECT_EQ(leader["role"], "exile");
                EXPECT_EQ(Province(k, at)["owner"], 0) << "scenario " << k << " fellowship " << f;
                int members = 0;
                for (const TJson& ch : s["characters"]) members += ch["faction"] == f;
                EXPECT_LE(members, 10);
                EXPECT_LE(members, 5 * Province(k, at)["castles"].get<int>());
            } else {
                EXPECT_EQ(parties, 0);
                EXPECT_EQ(Province(k, home)["owner"], f);
                EXPECT_EQ(Province(k, home)["governor"], f);
                EXPECT_EQ(leader["province"], home);
                EXPECT_EQ(leader["role"], "leader");
            }
        }
        int capital = Fellowship(k, kChancellor)["home"];
        ASSERT_GT(capital, 0);
        EXPECT_EQ(Province(k, capital)["castles"], 7);
    }
}

// Walks the first month's queue: every homeless fellowship may settle where it stands,
// and every settled province may be worked (cultivated) by its governor.
TEST(WorldData, EveryFirstTurnOffersAWayForward) {
    for (int k = 1; k <= kScenarioCount; ++k) {
        TGame game;
        NewCampaign(game, kWorldPath, k, 0, 2, {}, 4242);
        int month = game.GetInt(game.Root(), "month", 0);
        int entries = game.ArrLen(game.GetArr(game.Root(), "queue"));
        ASSERT_GT(entries, 0);
        for (int i = 0; i < entries; ++i) {
            int f = CurrentFaction(game);
            if (IsExileTurn(game)) {
                EXPECT_EQ(CheckOrder(game, {oSettle, f, 0, 0, 0}), "") << "scenario " << k << " fellowship " << f;
            } else {
                int p = CurrentProvince(game);
                int governor = game.GetInt(game.Province(p), "governor", 0);
                EXPECT_EQ(CheckOrder(game, {oCultivate, governor, 0, 0, 0}), "")
                    << "scenario " << k << " province " << p;
            }
            AdvanceQueue(game);
        }
        EXPECT_NE(game.GetInt(game.Root(), "month", 0), month);  // the walk reached the month end
        EXPECT_EQ(Validate(game), "");
    }
}

TEST(WorldData, ScenariosTellDifferentStories) {
    std::vector<int> years;
    for (int k = 1; k <= kScenarioCount; ++k) years.push_back(Scenario(k)["year"]);
    EXPECT_TRUE(std::is_sorted(years.begin(), years.end()));
    EXPECT_EQ(std::set<int>(years.begin(), years.end()).size(), 4u);
    // The Exiles: every playable leader homeless, each in a different province.
    std::set<int> camps;
    for (int f = 1; f <= kPlayableLeaders; ++f) {
        EXPECT_EQ(Fellowship(1, f)["home"], 0);
        camps.insert(Person(1, f)["province"].get<int>());
    }
    EXPECT_EQ(camps.size(), static_cast<size_t>(kPlayableLeaders));
    // Later scenarios: more settled realms, more treaties, a stronger court.
    int settledBefore = 0, courtBefore = 0;
    for (int k = 2; k <= kScenarioCount; ++k) {
        int settled = 0, court = 0;
        for (int f = 1; f <= kPlayableLeaders; ++f) settled += Fellowship(k, f)["home"] != 0;
        for (int p = 1; p <= kProvinceCount; ++p) court += Province(k, p)["owner"] == kChancellor;
        EXPECT_GT(settled, settledBefore);
        EXPECT_GT(court, courtBefore);
        EXPECT_FALSE(Scenario(k)["treaties"].empty());
        settledBefore = settled;
        courtBefore = court;
    }
}

TEST(WorldData, RulesFileHoldsEveryDefault) {
    TJson rules = ReadJsonFile(kRulesPath);
    TJson expected = {{"lightBody", 10},          {"standardBody", 15},        {"heavyBody", 20},
                      {"missionBody", 25},        {"oathLoyalty", 95},         {"oathCompatibility", 70},
                      {"foodBuyCentsPerRate", 4}, {"foodSellCentsPerRate", 2}, {"monthlyRecovery", 5},
                      {"beastChancePercent", 5},  {"invasionYear", 327},       {"taxSupport", 40},
                      {"writPopularity", 250}};
    EXPECT_EQ(rules, expected);
}

}  // namespace
}  // namespace reedmark
