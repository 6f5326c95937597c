// Crafted campaigns: documents that pass validation but carry nonsense in the keys the
// rules read (wrong types, ids out of range, huge numbers) must never crash, hang or
// corrupt memory when the computer plays them. Run under the sanitizers by CI.
#include <gtest/gtest.h>

#include <functional>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/document_io.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

TJson HostileValue(TGame& dice) {
    switch (Random(dice, 12)) {
    case 0: return -1;
    case 1: return 0;
    case 2: return 256;
    case 3: return 2147483647;
    case 4: return -2147483647 - 1;
    case 5: return "x";
    case 6: return true;
    case 7: return nullptr;
    case 8: return TJson::array({-5, 999, "y"});
    case 9: return TJson::object();
    case 10: return 1e300;
    default: return 50;
    }
}

std::string HostilePointer(TGame& dice) {
    static const char* const characterKeys[] = {"faction", "superior", "captor", "province", "soldiers", "role",
                                                "xp", "loyalty", "bodyMax", "age", "ship", "overflow"};
    static const char* const provinceKeys[] = {"owner", "governor", "neighbors", "castles", "rate", "policy",
                                               "beast", "epidemic", "riot", "snow", "mapSeed", "r"};
    static const char* const rootKeys[] = {"queue", "queueIndex", "queueOwners", "treaties", "exileParties",
                                           "townAttempts", "townActor", "rules", "difficulty", "year"};
    switch (Random(dice, 4)) {
    case 0: return "/characters/" + std::to_string(Random(dice, 255)) + "/" + characterKeys[Random(dice, 12)];
    case 1: return "/provinces/" + std::to_string(Random(dice, 49)) + "/" + provinceKeys[Random(dice, 12)];
    case 2: {
        static const char* const factionKeys[] = {"leader", "home", "active", "human", "writ", "popularity"};
        return "/factions/" + std::to_string(Random(dice, 20)) + "/" + factionKeys[Random(dice, 6)];
    }
    default: return std::string("/") + rootKeys[Random(dice, 10)];
    }
}

TEST(HostileCampaign, ValidButCraftedStatesArePlayedWithoutHarm) {
    TGame dice;
    testing::StartSmallCampaign(dice, 4242);
    int played = 0;
    for (int round = 0; round < 80; ++round) {
        TGame game;
        testing::StartSmallCampaign(game, static_cast<std::uint32_t>(round + 1));
        for (int i = 0; i < 5; ++i) game.SetAtPointer(HostilePointer(dice), HostileValue(dice));
        if (!Validate(game).empty()) continue;  // a load would refuse it
        ++played;
        for (int tick = 0; tick < 150 && !game.IsEnded(); ++tick) ComputerTick(game, kFastComputerSteps);
        Validate(game);
        Checksum(game);
    }
    EXPECT_GT(played, 20);
}

// Saves the fuzzer found that load and then once led the rules into undefined
// behaviour (caught by the sanitizer build). Each must load, play, validate and make
// the same round trip as any other save.
TEST(HostileCampaign, FuzzerReproducersLoadAndPlay) {
    struct TReproducer {
        const char* name;
        std::function<void(TJson&)> damage;
    };
    const TReproducer reproducers[] = {
        // The planner's recruitment room was castles times five in 32 bits.
        {"castles beyond any count", [](TJson& s) { for (auto& p : s["provinces"]) p["castles"] = 1e300; }},
        {"castles at the getters' limit", [](TJson& s) { for (auto& p : s["provinces"]) p["castles"] = 1000000000; }},
    };
    testing::TTempWorld dir(nullptr);
    TGame source;
    testing::StartSmallCampaign(source, 404);
    for (const TReproducer& r : reproducers) {
        TJson state = *source.Document();
        r.damage(state);
        std::string body = SerializeCompact(state);
        std::string path = dir.Path("reproducer.json");
        testing::WriteText(path, "{ \"schema\" : 1, \"checksum\" : \"" + Fnv1aHex(body) +
                                     "\", \"timestamp\" : \"\", \"state\" : " + body + " }");
        TGame game;
        ASSERT_NO_THROW(LoadCampaign(game, path)) << r.name;
        for (int tick = 0; tick < 60 && !game.IsEnded(); ++tick) ComputerTick(game, kFastComputerSteps);
        EXPECT_TRUE(game.IndexMatchesDocument()) << r.name;
        if (!Validate(game).empty()) continue;
        SaveCampaign(game, dir.Path("again.json"));
        TGame again;
        ASSERT_NO_THROW(LoadCampaign(again, dir.Path("again.json"))) << r.name;
        EXPECT_EQ(Checksum(again), Checksum(game)) << r.name;
    }
}

}  // namespace
}  // namespace reedmark
