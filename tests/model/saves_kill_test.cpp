// Saving survives being killed: a process that saves one slot over and over is killed
// with SIGKILL at random moments, and afterwards the slot (or, when the kill fell
// between keeping the backup and renaming the new file into place, its backup) loads.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "model/game.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 40;
constexpr int kLongestWaitMicroseconds = 40000;  // a few saves' time

TEST(SaveCrashSafety, AKilledSaverAlwaysLeavesALoadableSlot) {
    testing::TTempWorld dir(nullptr);
    std::string slot = dir.Path("slot.json");
    // Two campaigns saved in turn, so that every save replaces the file by another.
    TGame first;
    TGame second;
    testing::StartSmallCampaign(first, 5);
    testing::StartSmallCampaign(second, 6, {2});
    std::string checksums[] = {Checksum(first), Checksum(second)};
    SaveCampaign(first, slot);

    TGame dice;
    testing::StartSmallCampaign(dice, 77);
    int fromSlot = 0;
    int fromBackup = 0;
    for (int round = 0; round < kRounds; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                try {
                    SaveCampaign(i % 2 == 0 ? second : first, slot);
                } catch (...) {
                    _exit(2);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(Random(dice, kLongestWaitMicroseconds)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself in round " << round;

        bool slotThere = fs::exists(slot);
        std::string path = slotThere ? slot : slot + ".bak";
        TGame loaded;
        ASSERT_NO_THROW(LoadCampaign(loaded, path)) << "round " << round << ": " << path;
        std::string sum = Checksum(loaded);
        EXPECT_TRUE(sum == checksums[0] || sum == checksums[1]) << "round " << round;
        ++(slotThere ? fromSlot : fromBackup);
    }
    EXPECT_EQ(fromSlot + fromBackup, kRounds);
    std::cout << "[          ] " << kRounds << " kills: slot loaded " << fromSlot << " times, backup " << fromBackup
              << " times\n";
}

}  // namespace
}  // namespace reedmark
