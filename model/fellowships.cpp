// RefreshFellowships and CheckDefeat: the seat, exile state and activity of every
// fellowship, and the defeat of the human players.
#include "model/fellowships.hpp"

#include "model/game.hpp"
#include "model/month_end.hpp"

namespace reedmark {

namespace {

constexpr int kHumanLeaders = 10;  // fellowships a person may lead

bool IsFree(TObj leader) { return TGame::GetBool(leader, "alive") && !TGame::GetBool(leader, "captured"); }

// A fellowship whose leader does not stand in one of its provinces as a settled
// leader is homeless: it travels as an exile party where its leader stands.
void MakeHomeless(TGame& game, int f, TObj fac, TObj leader, int p) {
    game.SetInt(fac, "home", 0);
    game.SetBool(fac, "writ", false);
    game.SetStr(leader, "role", "exile");
    TObj party = game.ExileParty(f);
    if (party == nullptr) {
        TArr parties = TGame::GetArr(game.Root(), "exileParties");
        if (parties == nullptr) parties = game.NewArr(game.Root(), "exileParties");
        party = game.ArrAppendObj(parties);
        game.SetInt(party, "leader", f);
        game.SetInt(party, "province", p);
        game.SetInt(party, "food", 0);
        game.SetInt(party, "gold", 0);
    }
    game.SetInt(party, "province", p);
}

void RefreshFellowship(TGame& game, int f) {
    TObj fac = game.Faction(f);
    TObj leader = game.Character(f);
    if (!IsFree(leader)) {
        game.SetBool(fac, "active", false);
        game.SetBool(fac, "writ", false);
        return;
    }
    int p = TGame::GetInt(leader, "province", 0);
    if (TGame::GetInt(leader, "faction", 0) != f) game.SetInt(leader, "faction", f);
    if (TGame::GetInt(game.Province(p), "owner", 0) == f && TGame::GetStr(leader, "role") != "exile") {
        game.SetInt(fac, "home", p);
        return;
    }
    MakeHomeless(game, f, fac, leader, p);
}

}  // namespace

void RefreshFellowships(TGame& game) {
    if (game.Root() == nullptr) return;
    int count = game.FactionCount();
    for (int f = 1; f <= count; ++f) {
        if (TGame::GetBool(game.Faction(f), "active")) RefreshFellowship(game, f);
    }
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        if (TGame::GetInt(prov, "owner", 0) <= 0) continue;
        ChooseGovernor(game, p);
        if (TGame::GetInt(prov, "governor", 0) == 0) game.SetInt(prov, "owner", 0);
    }
}

void CheckDefeat(TGame& game) {
    TObj root = game.Root();
    // An ended campaign keeps the closing text it already has.
    if (root == nullptr || game.IsEnded()) return;
    int humans = 0;
    int free = 0;
    for (int f = 1; f <= kHumanLeaders; ++f) {
        TObj fac = game.Faction(f);
        if (!TGame::GetBool(fac, "human")) continue;
        ++humans;
        if (TGame::GetBool(fac, "active") && IsFree(game.Character(f))) ++free;
    }
    if (humans == 0 || free > 0) return;
    const std::string result = "Your last fellowship leader has fallen into captivity. The chronicle ends.";
    game.SetBool(root, "ended", true);
    game.SetStr(root, "result", result);
    game.AddLog(result);
}

}  // namespace reedmark
