// Random order records on random valid campaigns: nothing crashes, a refusal (and the
// preview and chance asked with it) leaves the document byte-identical and the chronicle
// untouched, an applied order leaves a document that passes validation.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using testing::StartSmallCampaign;

class TRandomOrders {
   public:
    TRandomOrders(TGame& game, unsigned seed) : game_(game), rng_(seed) {}

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }

    // Scalar changes within the ranges the document allows.
    void Perturb() {
        for (int i = 0; i < 6; ++i) {
            TObj prov = game_.Province(Pick(1, kProvinceCount));
            static const std::pair<const char*, int> keys[] = {{"gold", 9999},   {"food", 9999}, {"metal", 999},
                                                               {"fur", 999},     {"skill", 100}, {"arms", 100},
                                                               {"support", 100}, {"land", 100},  {"beast", 4}};
            const auto& [key, hi] = keys[Pick(0, 8)];
            game_.SetInt(prov, key, Chance(30) ? hi - Pick(0, 3) : Pick(0, hi));
            if (Chance(20)) game_.SetInt(prov, "rate", Pick(5, 120));
            if (Chance(10)) game_.SetBool(prov, "snow", Chance(50));
            if (Chance(20)) game_.SetBool(prov, "smithy", Chance(50));
            if (Chance(20)) game_.SetBool(prov, "shipyard", Chance(50));
        }
        for (int i = 0; i < 10; ++i) {
            TObj ch = game_.Character(Pick(1, kCharacterCount));
            game_.SetInt(ch, "body", Pick(0, TGame::GetInt(ch, "bodyMax", 0)));
            if (Chance(40)) game_.SetInt(ch, "loyalty", Chance(50) ? 100 : Pick(0, 100));
            if (Chance(30)) game_.SetInt(ch, "soldiers", Chance(20) ? 100 : Pick(0, 100));
            if (Chance(20)) game_.SetInt(ch, "dexterity", Pick(40, 100));
            if (Chance(20)) game_.SetBool(ch, "navigator", true);
            if (Chance(10)) game_.SetBool(ch, "ship", Chance(50));
            if (Chance(10)) {  // a temperament like the leader's, for oaths
                TObj leader = game_.Character(TGame::GetInt(ch, "faction", 0));
                for (const char* key : {"integrity", "mercy", "courage"})
                    game_.SetInt(ch, key, TGame::GetInt(leader, key, 0));
            }
        }
        if (Chance(30)) game_.SetInt(game_.Root(), "month", Pick(1, 12));
        if (Chance(20)) game_.SetInt(game_.Root(), "difficulty", Pick(1, 5));
    }

    TOrderRecord Record() {
        int p = CurrentProvince(game_);
        int f = CurrentFaction(game_);
        std::vector<int> locals;
        std::vector<int> here;
        for (int c = 1; c <= kCharacterCount; ++c) {
            if (game_.IsLocalMember(c, p, f)) locals.push_back(c);
            if (TGame::GetInt(game_.Character(c), "province", 0) == p) here.push_back(c);
        }
        auto pickFrom = [&](const std::vector<int>& v, int fallback) {
            return v.empty() ? fallback : v[static_cast<size_t>(Pick(0, static_cast<int>(v.size()) - 1))];
        };
        TOrderRecord r;
        r.order = static_cast<TOrder>(Pick(0, kOrderCount - 1));
        // Orders that end a fellowship's settled life are rarer, so the campaign lasts.
        while ((r.order == oAbandon || r.order == oRetire) && Chance(90))
            r.order = static_cast<TOrder>(Pick(0, kOrderCount - 1));
        r.actor = Chance(85) ? pickFrom(locals, f) : Pick(-2, 260);
        TArr neighbours = TGame::GetArr(game_.Province(p), "neighbors");
        switch (Pick(0, 5)) {
            case 0: r.target = TGame::ArrInt(neighbours, Pick(0, std::max(0, TGame::ArrLen(neighbours) - 1)), 0); break;
            case 1: r.target = pickFrom(locals, 0); break;
            case 2: r.target = pickFrom(here, 0); break;
            case 3: r.target = Pick(1, 12); break;
            case 4: r.target = Pick(-3, 300); break;
            default: r.target = 0; break;
        }
        switch (Pick(0, 3)) {
            case 0: r.quantity = Pick(0, 3); break;
            case 1: r.quantity = Pick(1, 120); break;
            case 2: r.quantity = Pick(-10, 10010); break;
            default: r.quantity = Chance(50) ? 1 : 0; break;
        }
        r.option = Chance(80) ? Pick(0, 1) : Pick(-1, 3);
        return r;
    }

   private:
    TGame& game_;
    std::mt19937 rng_;
};

// Orders whose outcome is the battle's to decide.
bool OpensBattle(const TGame& game, const TOrderRecord& r) {
    if (r.order == oWar) return true;
    return r.order == oSettle && TGame::GetInt(game.Province(CurrentProvince(game)), "owner", 0) > 0;
}

std::string Describe(const TOrderRecord& r) {
    return OrderIdent(r.order) + " " + std::to_string(r.actor) + " " + std::to_string(r.target) + " " +
           std::to_string(r.quantity) + " " + std::to_string(r.option);
}

TEST(OrdersProperty, RandomOrdersKeepTheCampaignConsistent) {
    int applied = 0;
    int refused = 0;
    std::vector<int> appliedPerOrder(kOrderCount, 0);
    for (unsigned run = 0; run < 8; ++run) {
        TGame game;
        StartSmallCampaign(game, 100 + run, run % 2 == 0 ? std::vector<int>{1, 6} : std::vector<int>{});
        TRandomOrders random(game, 7 + run);
        for (int step = 0; step < 250; ++step) {
            if (game.IsEnded() || HasBattle(game)) break;
            if (step % 25 == 0) {
                random.Perturb();
                ASSERT_EQ(Validate(game), "");
            }
            // Look for an order that passes; one refused record is tried on the way.
            TOrderRecord record = random.Record();
            std::string check = CheckOrder(game, record);
            for (int attempt = 0; attempt < 30 && (!check.empty() || OpensBattle(game, record)); ++attempt) {
                if (attempt == 0 && !check.empty()) {
                    std::string before = Checksum(game);
                    auto lines = game.Chronicle();
                    PreviewOrder(game, record);  // the reads change nothing either
                    SuccessChance(game, record);
                    ASSERT_EQ(ApplyOrder(game, record), check) << Describe(record);
                    ASSERT_EQ(Checksum(game), before) << Describe(record);
                    ASSERT_EQ(game.Chronicle(), lines) << Describe(record);
                    ++refused;
                }
                record = random.Record();
                check = CheckOrder(game, record);
            }
            if (!check.empty() || OpensBattle(game, record)) {
                AdvanceQueue(game);  // nothing found: let the turn pass
                continue;
            }
            std::string answer = ApplyOrder(game, record);
            EXPECT_FALSE(answer.empty());
            ASSERT_EQ(Validate(game), "") << Describe(record) << " -> " << answer;
            ASSERT_TRUE(game.IndexMatchesDocument());
            ++applied;
            ++appliedPerOrder[record.order];
        }
    }
    EXPECT_GT(applied, 1000);
    EXPECT_GT(refused, 1000);
    int kinds = 0;
    for (int n : appliedPerOrder) kinds += n > 0 ? 1 : 0;
    EXPECT_GE(kinds, 30);  // most of the catalogue was exercised
}

}  // namespace
}  // namespace reedmark
