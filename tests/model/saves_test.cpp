// Save files: the compact serialisation and checksum, save and load round trips,
// validation, and hostile files that must be refused or survived, never crash.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/document_io.hpp"
#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;
using testing::StartSmallCampaign;
using testing::TTempWorld;
using testing::WriteText;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const TGameError& e) {
        return e.what();
    }
    return "";
}

// A save file around an arbitrary state, with a correct checksum.
std::string CraftedSave(const TJson& state) {
    std::string body = SerializeCompact(state);
    return "{ \"schema\" : 1, \"checksum\" : \"" + Fnv1aHex(body) +
           "\", \"timestamp\" : \"2026-01-01 00:00:00\", \"state\" : " + body + " }\n";
}

TEST(Serialisation, Fnv1aReferenceValues) {
    EXPECT_EQ(Fnv1aHex("abc"), "1A47E90B");
    EXPECT_EQ(Fnv1aHex(""), "811C9DC5");
}

TEST(Serialisation, CompactFormEscapesByteByByte) {
    TJson v = TJson::object();
    v["name"] = std::string("a\"b\\c\b\t\n\f\r\x01/\xc3\xa9");
    v["list"] = TJson::array({1, -2, true, false, nullptr});
    v["empty"] = TJson::object();
    v["none"] = TJson::array();
    EXPECT_EQ(SerializeCompact(v),
              "{ \"name\" : \"a\\\"b\\\\c\\b\\t\\n\\f\\r\\u0001/\xc3\xa9\", \"list\" : [1, -2, true, false, null], "
              "\"empty\" : {}, \"none\" : [] }");
}

TEST(Saves, RoundTripKeepsDocumentAndNextDraws) {
    TTempWorld dir(nullptr);
    TGame game;
    StartSmallCampaign(game, 31, {2});
    std::string path = dir.Path("saves/slot1.json");  // the directory is created
    SaveCampaign(game, path);
    std::string checksum = Checksum(game);
    std::vector<int> draws;
    for (int i = 0; i < 5; ++i) draws.push_back(Random(game, 1000));

    TGame loaded;
    LoadCampaign(loaded, path);
    EXPECT_EQ(Checksum(loaded), checksum);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Random(loaded, 1000), draws[static_cast<size_t>(i)]);
    ASSERT_EQ(loaded.Chronicle().size(), 1u);
    EXPECT_EQ(loaded.Chronicle().front(), "Campaign restored. The next companion and random outcome are preserved.");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(Saves, FileLayoutAndBackup) {
    TTempWorld dir(nullptr);
    TGame game;
    StartSmallCampaign(game, 31);
    std::string path = dir.Path("quick.json");
    SaveCampaign(game, path);
    std::string first = ReadTextFile(path);
    ASSERT_EQ(first.back(), '\n');
    EXPECT_EQ(first.rfind("{ \"schema\" : 1, \"checksum\" : \"" + Checksum(game) + "\", \"timestamp\" : \"", 0), 0u);
    EXPECT_NE(first.find("\"state\" : " + SerializeDocument(game) + " }\n"), std::string::npos);
    EXPECT_NE(first.find("\"pronouns\" : \"she/her\""), std::string::npos);  // the slash stays
    Random(game, 5);
    SaveCampaign(game, path);
    EXPECT_EQ(ReadTextFile(path + ".bak"), first);
}

TEST(Saves, InvalidCampaignIsNotWritten) {
    TTempWorld dir(nullptr);
    TGame game;
    EXPECT_EQ(ErrorOf([&] { SaveCampaign(game, dir.Path("a.json")); }), "Cannot save invalid campaign: No campaign.");
    StartSmallCampaign(game);
    game.SetInt(game.Root(), "month", 13);
    EXPECT_EQ(ErrorOf([&] { SaveCampaign(game, dir.Path("a.json")); }), "Cannot save invalid campaign: Invalid date.");
    EXPECT_FALSE(fs::exists(dir.Path("a.json")));
    EXPECT_FALSE(fs::exists(dir.Path("a.json.tmp")));
}

TEST(Saves, UnwritableTargetFailsWithoutLosingTheOldSave) {
    TTempWorld dir(nullptr);
    TGame game;
    StartSmallCampaign(game);
    std::string path = dir.Path("slot.json");
    SaveCampaign(game, path);
    std::string old = ReadTextFile(path);
    // A non-empty directory where the backup goes: the old save cannot be moved aside.
    fs::create_directories(path + ".bak/inside");
    Random(game, 3);
    EXPECT_EQ(ErrorOf([&] { SaveCampaign(game, path); }), "Unable to preserve previous save.");
    EXPECT_EQ(ReadTextFile(path), old);
    EXPECT_TRUE(fs::exists(path + ".tmp"));
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartSmallCampaign(game, 8);
        game.AddLog("before");
        before = Checksum(game);
        StartSmallCampaign(source, 9);
        path = dir.Path("s.json");
        SaveCampaign(source, path);
        text = ReadTextFile(path);
    }
    // Loads the file and expects the given error with the running campaign untouched.
    void ExpectRefused(const std::string& fileText, const std::string& message) {
        WriteText(path, fileText);
        std::string error = ErrorOf([&] { LoadCampaign(game, path); });
        EXPECT_EQ(error.rfind(message, 0), 0u) << "got: " << error;
        EXPECT_EQ(Checksum(game), before);
        EXPECT_EQ(game.Chronicle().back(), "before");
    }
    TTempWorld dir{nullptr};
    TGame game;
    TGame source;
    std::string before;
    std::string path;
    std::string text;
};

TEST_F(LoadTest, TamperingFailsTheChecksum) {
    std::string edited = text;
    size_t at = edited.find("Person 12");
    edited.replace(at, 9, "Person  12");
    ExpectRefused(edited, "Save checksum failed. Your current campaign is unchanged.");
    std::string lower = text;
    size_t c = lower.find("\"checksum\" : \"") + 14;
    for (size_t i = c; i < c + 8; ++i) lower[i] = static_cast<char>(std::tolower(lower[i]));
    if (lower != text) ExpectRefused(lower, "Save checksum failed.");
    std::string noChecksum = text;
    noChecksum.replace(c - 1, 10, "12345678");  // a number, not a string
    ExpectRefused(noChecksum, "Save checksum failed.");
}

TEST_F(LoadTest, TimestampIsNotChecked) {
    std::string edited = text;
    size_t at = edited.find("\"timestamp\" : \"") + 15;
    edited.replace(at, 4, "1999");
    WriteText(path, edited);
    LoadCampaign(game, path);
    EXPECT_EQ(Checksum(game), Checksum(source));
}

TEST_F(LoadTest, SchemaMustBeTheNumberOne) {
    std::string edited = text;
    edited.replace(edited.find("\"schema\" : 1"), 12, "\"schema\" : \"1\"");
    ExpectRefused(edited, "Unsupported save schema.");
    ExpectRefused("[1, 2]", "Unsupported save schema.");
    ExpectRefused("{ \"schema\" : 2 }", "Unsupported save schema.");
}

TEST_F(LoadTest, BrokenFilesKeepTheLibraryMessage) {
    ExpectRefused("{ \"schema\" : 1, ", "[json.exception.parse_error");
    ExpectRefused("", "[json.exception.parse_error");
    fs::remove(path);
    std::string error = ErrorOf([&] { LoadCampaign(game, path); });
    EXPECT_NE(error.find("No such file"), std::string::npos);
    EXPECT_EQ(Checksum(game), before);
    EXPECT_NE(ErrorOf([&] { LoadCampaign(game, dir.Dir()); }), "");  // a directory
    EXPECT_EQ(Checksum(game), before);
}

TEST_F(LoadTest, InconsistentStatesAreRefused) {
    TJson state = *source.Document();
    state["provinces"].erase(48);
    ExpectRefused(CraftedSave(state), "Invalid save: Incorrect world dimensions.");
    state = *source.Document();
    state["characters"][5]["province"] = 50;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid character location.");
    state = *source.Document();
    state["characters"][5] = "a text where a character should be";
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid character location.");
    state = *source.Document();
    state["provinces"][3]["id"] = 9;
    ExpectRefused(CraftedSave(state), "Invalid save: Province IDs are inconsistent.");
    state = *source.Document();
    state["provinces"][3]["metal"] = 1000;
    ExpectRefused(CraftedSave(state), "Invalid save: metal outside bounds.");
    state = *source.Document();
    state["provinces"][3]["owner"] = 256;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid owner.");
    state = *source.Document();
    state["provinces"][3]["castles"] = 1;
    ExpectRefused(CraftedSave(state), "Invalid save: Province 4 exceeds character capacity.");
    state = *source.Document();
    state["provinces"][3]["governor"] = 2;
    ExpectRefused(CraftedSave(state), "Invalid save: Province 4 has no valid local governor.");
    state = *source.Document();
    state["characters"][0]["soldiers"] = 101;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid soldiers.");
    state = *source.Document();
    state["characters"][0]["body"] = 81;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid Body.");
    state = *source.Document();
    state["beastNotices"] = 3;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid beast notifications.");
    state["beastNotices"] = TJson::array({7});
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid beast notification.");
    state["beastNotices"] = TJson::array({{{"province", 3}, {"beast", 5}}});
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid beast notification location/species.");
    state["beastNotices"] = TJson::array(
        {{{"province", 3}, {"beast", 2}, {"foodBefore", 50}, {"foodLoss", 10}, {"foodAfter", 30}}});
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid beast notification food loss.");
    state = *source.Document();
    state["month"] = 0;
    ExpectRefused(CraftedSave(state), "Invalid save: Invalid date.");
    ExpectRefused(CraftedSave(TJson()), "Invalid save: Incorrect world dimensions.");
    ExpectRefused(CraftedSave(TJson::array({1, 2})), "Invalid save: Incorrect world dimensions.");
}

TEST_F(LoadTest, HostileShapesAreRefusedBeforeParsing) {
    std::string deep(100000, '[');
    ExpectRefused("{ \"schema\" : 1, \"state\" : " + deep, "JSON text nested too deeply.");
    std::string huge = "[" + std::string(kMaxJsonFileBytes, ' ') + "]";
    ExpectRefused(huge, "File too large");
}

// States that pass validation but carry nonsense where later code reads ids and
// indices: loading works, and reading or advancing the campaign must not crash.
TEST_F(LoadTest, ValidButHostileStatesAreSurvived) {
    std::vector<std::function<void(TJson&)>> damages = {
        [](TJson& s) { s["queue"] = "not an array"; },
        [](TJson& s) { s["queue"] = TJson::array({-300, 999, -1, 0, "x", nullptr, 2147483647}); },
        [](TJson& s) { s["queueIndex"] = -5; },
        [](TJson& s) { s["queueIndex"] = 1e300; },
        [](TJson& s) { s["queueOwners"] = TJson::array(); },
        [](TJson& s) { s.erase("queue"); },
        [](TJson& s) { s["factions"] = TJson::array(); for (int i = 0; i < 255; ++i) s["factions"].push_back(i % 2 ? TJson("x") : TJson()); },
        [](TJson& s) { s.erase("factions"); for (auto& p : s["provinces"]) p["owner"] = 0; },
        [](TJson& s) { s["provinces"][0]["neighbors"] = TJson::array({-1, 0, 50, 1e9, "x"}); },
        [](TJson& s) { s["provinces"][0]["neighbors"] = TJson::array(); },
        [](TJson& s) { s["characters"][1]["xp"] = 5; },
        [](TJson& s) { s["characters"][200]["faction"] = 100000; },
        [](TJson& s) { s["treaties"] = TJson::array({1, TJson::array(), {{"a", "b"}}}); },
        [](TJson& s) { s["exileParties"] = TJson::object(); },
        [](TJson& s) { s["rng"] = "seed"; },
        [](TJson& s) { s["month"] = 12; s["year"] = 2147483647; },
        [](TJson& s) { s["rules"] = TJson::array({1}); },
    };
    for (size_t i = 0; i < damages.size(); ++i) {
        TJson state = *source.Document();
        damages[i](state);
        WriteText(path, CraftedSave(state));
        TGame victim;
        ASSERT_NO_THROW(LoadCampaign(victim, path)) << "damage " << i;
        for (int step = 0; step < 30; ++step) {
            CurrentEntry(victim);
            CurrentProvince(victim);
            CurrentFaction(victim);
            CurrentTurnChangedHands(victim);
            for (int p = 0; p <= 50; ++p) {
                victim.ProvinceHeadcount(p);
                victim.ProvinceSoldiers(p);
                victim.AreNeighbours(p, p + 1);
            }
            victim.TreatyActive(1, 2);
            victim.GainExperience(2, 5, 5, 5);
            AdvanceQueue(victim);
        }
        Validate(victim);
        Checksum(victim);
    }
}

}  // namespace
}  // namespace reedmark
