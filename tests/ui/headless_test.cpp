// reedmark-headless end to end: transcripts of commands and answers, start-up failure,
// the end of the loop, the campaign console against reedmark-sim, screenshots and audio.
//
// Transcript format (tests/ui/transcripts/*.txt): "> COMMAND" runs COMMAND; the next
// non-comment line is its answer, either exactly, or after "~ " a JSON answer whose
// objects need only hold the members written (arrays and other values compare whole).
// "#" lines are comments. "$TMP" is a fresh temporary directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "model/game.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;

const std::string kBase = std::string(REEDMARK_BUILD_DIR) + "/";

struct TRun {
    int status = -1;
    std::vector<std::string> lines;
};

std::string Substitute(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TRun RunProgram(const std::string& command) {
    TRun run;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return run;
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) run.lines.push_back(line);
    return run;
}

// Runs the script with the build directory as base and a fresh per-user directory.
TRun RunHeadless(const testing::TTempWorld& tmp, const std::string& script, const std::string& base = kBase) {
    testing::WriteText(tmp.Path("script.txt"), script);
    return RunProgram(std::string(REEDMARK_HEADLESS_PATH) + " --base " + base + " --pref " + tmp.Path("pref") +
                      " --script " + tmp.Path("script.txt"));
}

// Every member of each expected object is in the actual one with a matching value.
bool Matches(const TJson& expected, const TJson& actual) {
    if (!expected.is_object()) return expected == actual;
    if (!actual.is_object()) return false;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (!actual.contains(it.key()) || !Matches(it.value(), actual[it.key()])) return false;
    }
    return true;
}

// [SECTION] Transcripts

std::vector<fs::path> Transcripts() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(REEDMARK_SOURCE_DIR) / "tests/ui/transcripts"))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class HeadlessTranscript : public ::testing::TestWithParam<fs::path> {};

TEST_P(HeadlessTranscript, AnswersMatch) {
    testing::TTempWorld tmp(nullptr);
    std::ifstream in(GetParam());
    ASSERT_TRUE(in) << GetParam();
    std::vector<std::string> commands, expected;
    std::vector<int> lineNos;
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        line = Substitute(line, "$TMP", tmp.Dir());
        if (line.rfind("> ", 0) == 0) {
            ASSERT_EQ(commands.size(), expected.size()) << "line " << lineNo << ": previous command has no answer";
            commands.push_back(line.substr(2));
            lineNos.push_back(lineNo);
        } else {
            ASSERT_EQ(commands.size(), expected.size() + 1) << "line " << lineNo << ": answer without a command";
            expected.push_back(line);
        }
    }
    ASSERT_EQ(commands.size(), expected.size()) << "last command has no expected answer";

    std::string script;
    for (const std::string& c : commands) script += c + "\n";
    TRun run = RunHeadless(tmp, script);
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), expected.size()) << "one answer per command";
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string where = GetParam().filename().string() + " line " + std::to_string(lineNos[i]) + ": " +
                                  commands[i] + "\n  answer: " + run.lines[i];
        if (expected[i].rfind("~ ", 0) == 0) {
            TJson actual = TJson::parse(run.lines[i], nullptr, false);
            EXPECT_TRUE(Matches(TJson::parse(expected[i].substr(2)), actual)) << where;
        } else {
            EXPECT_EQ(run.lines[i], expected[i]) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Headless, HeadlessTranscript, ::testing::ValuesIn(Transcripts()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// [SECTION] The program around the commands

TEST(HeadlessMain, MissingFontFailsStartUpWithTheGamesMessage) {
    testing::TTempWorld tmp(nullptr);
    const std::string base = tmp.Path("base");
    fs::create_directories(base + "/assets");
    fs::create_symlink(kBase + "assets/data", base + "/assets/data");
    TRun run = RunHeadless(tmp, "state\n", base);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0], "{\"ok\":false,\"error\":\"Font asset missing: " + base + "/\"}");
    EXPECT_FALSE(fs::exists(tmp.Path("pref/settings.json")));  // nothing is saved
}

TEST(HeadlessMain, EndingTheLoopAnswersThenShutsDown) {
    // Each way of ending the loop answers its state, ignores what follows and saves settings.
    for (const char* ending : {"quit", "action 7", "key 0", "click 900 560"}) {
        testing::TTempWorld tmp(nullptr);
        TRun run = RunHeadless(tmp, std::string("frame\n") + ending + "\nstate\nframe\n");
        EXPECT_EQ(run.status, 0) << ending;
        ASSERT_EQ(run.lines.size(), 2u) << ending;
        EXPECT_TRUE(
            Matches(TJson::parse(R"({"ok":true,"result":{"screen":0}})"), TJson::parse(run.lines[1], nullptr, false)))
            << ending << ": " << run.lines[1];
        EXPECT_TRUE(fs::exists(tmp.Path("pref/settings.json"))) << ending;
    }
    // The end of the script shuts down the same way.
    testing::TTempWorld tmp(nullptr);
    TRun run = RunHeadless(tmp, "frame 2\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines.size(), 1u);
    EXPECT_TRUE(fs::exists(tmp.Path("pref/settings.json")));
}

TEST(HeadlessMain, DrawsAreTheLastFramesCallsInOrder) {
    testing::TTempWorld tmp(nullptr);
    TRun run = RunHeadless(tmp, "frame\ndraws\n");
    ASSERT_EQ(run.lines.size(), 2u);
    TJson draws = TJson::parse(run.lines[1], nullptr, false)["result"];
    ASSERT_TRUE(draws.is_array() && draws.size() > 3) << run.lines[1];
    EXPECT_EQ(draws[0], TJson::parse(R"(["image","background",0,0,1280,800])"));
    EXPECT_EQ(draws[1], TJson::parse(R"(["box",24,24,1232,752,0])"));
    EXPECT_EQ(draws[2], TJson::parse(R"(["text",36,28,"REEDMARK",15784016,24])"));
    // The status bar closes the title frame.
    EXPECT_EQ(draws[draws.size() - 2], TJson::parse(R"(["box",28,746,1222,34,0])"));
}

TEST(HeadlessMain, BadInvocationsExitWithTwo) {
    EXPECT_EQ(RunProgram(std::string(REEDMARK_HEADLESS_PATH) + " --frobnicate").status, 2);
    EXPECT_EQ(RunProgram(std::string(REEDMARK_HEADLESS_PATH) + " --script /nonexistent/script.txt").status, 2);
    EXPECT_EQ(RunProgram(std::string(REEDMARK_HEADLESS_PATH) + " --base").status, 2);
}

TEST(HeadlessMain, GameCommandsAnswerLikeTheConsole) {
    const std::vector<std::string> commands = {"get /month",
                                               "new 2 1 2 3 730127",
                                               "get /month",
                                               "get /provinces/3/owner",
                                               "checksum",
                                               "entry",
                                               "set /provinces/3/gold 77",
                                               "get /provinces/3/gold",
                                               "checksum",
                                               "ai 16",
                                               "checksum",
                                               "bogus",
                                               "get",
                                               "validate"};
    testing::TTempWorld tmp(nullptr);
    std::string sim, headless;
    for (const std::string& c : commands) {
        sim += c + "\n";
        headless += "game " + c + "\n";
    }
    testing::WriteText(tmp.Path("sim.txt"), sim);
    TRun expected = RunProgram(std::string(REEDMARK_SIM_PATH) + " --world " + kBase + "assets/data/world.json " +
                               tmp.Path("sim.txt"));
    TRun actual = RunHeadless(tmp, headless);
    ASSERT_EQ(expected.lines.size(), commands.size());
    EXPECT_EQ(actual.lines, expected.lines);
}

// [SECTION] Files the driver writes

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t BigEndian(const std::string& bytes, size_t at) {
    std::uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return v;
}

TEST(HeadlessFiles, ScreenshotIsAnRgbPngOfTheCanvas) {
    testing::TTempWorld tmp(nullptr);
    TRun run = RunHeadless(tmp, "frame\nscreenshot " + tmp.Path("shot.png") + "\n");
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[1], "{\"ok\":true,\"result\":\"\"}");
    std::string png = ReadFile(tmp.Path("shot.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(png, 16), 1280u);
    EXPECT_EQ(BigEndian(png, 20), 800u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 2);  // RGB
}

TEST(HeadlessFiles, AudiodumpWritesEveryQueuedByte) {
    if (!fs::exists(kBase + "assets/music")) GTEST_SKIP() << "no music generated in the build directory";
    testing::TTempWorld tmp(nullptr);
    TRun run = RunHeadless(
        tmp, "frame 20\naudiodump music " + tmp.Path("music.raw") + "\naudiodump effects " + tmp.Path("fx.raw") + "\n");
    ASSERT_EQ(run.lines.size(), 3u);
    TJson music = TJson::parse(run.lines[1], nullptr, false);
    ASSERT_TRUE(music.is_object() && music["result"].is_number()) << run.lines[1];
    EXPECT_GT(music["result"].get<long long>(), 0);
    EXPECT_EQ(music["result"].get<long long>() % 2, 0);  // whole 16-bit samples
    EXPECT_EQ(static_cast<long long>(fs::file_size(tmp.Path("music.raw"))), music["result"].get<long long>());
    EXPECT_EQ(run.lines[2], "{\"ok\":true,\"result\":0}");  // no tone played yet
    EXPECT_EQ(fs::file_size(tmp.Path("fx.raw")), 0u);
}

}  // namespace
}  // namespace reedmark
