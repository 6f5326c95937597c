// Console transcripts: every file in tests/console/transcripts runs in a fresh console
// and each command's answer must match the line written after it.
//
// Format: "> COMMAND" runs COMMAND; the next non-comment line is the exact answer.
// "#" lines are comments. "$WORLD" is replaced by the small test world's world.json
// and "$TMP" by a fresh temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/console.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;

std::string Substitute(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<fs::path> Transcripts() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(REEDMARK_SOURCE_DIR) / "tests/console/transcripts"))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class TranscriptTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(TranscriptTest, AnswersMatch) {
    testing::TTempWorld world;
    testing::TTempWorld tmp(nullptr);
    TGame game;
    TConsole console(game, world.WorldPath());
    std::ifstream in(GetParam());
    ASSERT_TRUE(in) << GetParam();
    std::string line;
    std::string command;
    int lineNo = 0;
    int commandLine = 0;
    bool awaiting = false;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("> ", 0) == 0) {
            ASSERT_FALSE(awaiting) << "line " << commandLine << ": no expected answer for " << command;
            command = Substitute(Substitute(line.substr(2), "$WORLD", world.WorldPath()), "$TMP", tmp.Dir());
            commandLine = lineNo;
            awaiting = true;
            continue;
        }
        ASSERT_TRUE(awaiting) << "line " << lineNo << ": answer without a command";
        std::string answer;
        ASSERT_TRUE(console.Execute(command, answer)) << "line " << commandLine << ": command was skipped";
        std::string expected = Substitute(line, "$TMP", tmp.Dir());
        EXPECT_EQ(answer, expected) << GetParam().filename() << " line " << commandLine << ": " << command;
        awaiting = false;
    }
    EXPECT_FALSE(awaiting) << "last command has no expected answer";
}

INSTANTIATE_TEST_SUITE_P(Console, TranscriptTest, ::testing::ValuesIn(Transcripts()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

}  // namespace
}  // namespace reedmark
