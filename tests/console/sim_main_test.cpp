// The reedmark-sim executable: options, scripts from files and standard input, exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

struct TRun {
    int status = -1;
    std::string out;
};

TRun RunSim(const std::string& args, const std::string& input = "") {
    testing::TTempWorld tmp(nullptr);
    std::string inputPath = tmp.Path("input.txt");
    testing::WriteText(inputPath, input);
    std::string command = std::string(REEDMARK_SIM_PATH) + " " + args + " < " + inputPath + " 2>/dev/null";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SimMain, ReadsStandardInputAndSkipsCommentsAndBlankLines) {
    testing::TTempWorld world;
    TRun run = RunSim("--world " + world.WorldPath(), "# a comment\n\n   \nnew 2 0 1 - 5\n  # indented comment\nget /month\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "{\"ok\":true,\"result\":\"\"}\n{\"ok\":true,\"result\":2}\n");
}

TEST(SimMain, ReadsAScriptFileOrDashForStandardInput) {
    testing::TTempWorld world;
    testing::WriteText(world.Path("script.sim"), "new 4 0 1 - 5\nget /month\nbogus\n");
    TRun run = RunSim("--world " + world.WorldPath() + " " + world.Path("script.sim"));
    EXPECT_EQ(run.status, 0);  // whatever the commands answered
    EXPECT_EQ(run.out,
              "{\"ok\":true,\"result\":\"\"}\n{\"ok\":true,\"result\":4}\n"
              "{\"ok\":false,\"error\":\"Unknown command: bogus\"}\n");
    run = RunSim("--world " + world.WorldPath() + " -", "get /month\n");
    EXPECT_EQ(run.out, "{\"ok\":false,\"error\":\"No campaign loaded.\"}\n");
}

TEST(SimMain, BadInvocationsExitWithTwo) {
    EXPECT_EQ(RunSim("--frobnicate").status, 2);
    EXPECT_EQ(RunSim("/nonexistent/script.sim").status, 2);
    EXPECT_EQ(RunSim("--world").status, 2);
    EXPECT_EQ(RunSim("a.sim b.sim").status, 2);
}

TEST(SimMain, MissingWorldFileIsAnAnswerNotACrash) {
    TRun run = RunSim("--world /nonexistent/world.json", "new 1 0 1 - 1\nvalidate\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "{\"ok\":false,\"error\":\"Cannot open /nonexistent/world.json: No such file or directory\"}\n"
              "{\"ok\":true,\"result\":\"No campaign.\"}\n");
}

}  // namespace
}  // namespace reedmark
