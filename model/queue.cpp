// BuildQueue, AdvanceQueue and the accessors of the current turn.
#include "model/queue.hpp"

#include <string>

#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/random.hpp"

namespace reedmark {

int CurrentEntry(const TGame& game) {
    TObj root = game.Root();
    if (root == nullptr) return 0;
    int index = TGame::GetInt(root, "queueIndex", 0);
    return TGame::ArrInt(TGame::GetArr(root, "queue"), index, 0);
}

bool IsExileTurn(const TGame& game) { return CurrentEntry(game) < 0; }

int CurrentProvince(const TGame& game) {
    int e = CurrentEntry(game);
    if (e >= 0) return e;
    return TGame::GetInt(game.Character(-e), "province", 0);
}

int CurrentFaction(const TGame& game) {
    int e = CurrentEntry(game);
    if (e >= 0) return TGame::GetInt(game.Province(e), "owner", 0);
    return -e;
}

bool CurrentTurnChangedHands(const TGame& game) {
    TObj owners = TGame::GetObj(game.Root(), "queueOwners");
    if (owners == nullptr) return false;
    int faction = CurrentFaction(game);
    return TGame::GetInt(owners, std::to_string(CurrentEntry(game)), faction) != faction;
}

void BuildQueue(TGame& game) {
    TObj root = game.Root();
    if (root == nullptr) return;
    TObj owners = game.NewObj(root, "queueOwners");
    TArr queue = TGame::GetArr(root, "queue");
    if (queue == nullptr) queue = game.NewArr(root, "queue");  // a damaged save lost it
    game.ArrClear(queue);

    for (int p = 1; p <= kProvinceCount; ++p) {
        int owner = TGame::GetInt(game.Province(p), "owner", 0);
        if (owner >= 1 && TGame::GetBool(game.Faction(owner), "active")) game.ArrAppendInt(queue, p);
    }
    int factions = game.FactionCount();
    for (int f = 1; f <= factions; ++f) {
        TObj fac = game.Faction(f);
        if (TGame::GetBool(fac, "active") && TGame::GetInt(fac, "home", 0) == 0) game.ArrAppendInt(queue, -f);
    }

    for (int i = TGame::ArrLen(queue) - 1; i >= 1; --i) {
        int j = Random(game, i + 1);
        int a = TGame::ArrInt(queue, i, 0);
        int b = TGame::ArrInt(queue, j, 0);
        game.ArrSetInt(queue, i, b);
        game.ArrSetInt(queue, j, a);
    }

    for (int i = 0; i < TGame::ArrLen(queue); ++i) {
        int e = TGame::ArrInt(queue, i, 0);
        int owner = e >= 0 ? TGame::GetInt(game.Province(e), "owner", 0) : -e;
        game.SetInt(owners, std::to_string(e), owner);
    }
    game.SetInt(root, "queueIndex", 0);
}

void AdvanceQueue(TGame& game) {
    TObj root = game.Root();
    if (root == nullptr) return;
    game.SetBool(root, "town", false);
    int index = TGame::GetInt(root, "queueIndex", 0) + 1;
    game.SetInt(root, "queueIndex", index);
    if (index >= TGame::ArrLen(TGame::GetArr(root, "queue"))) {
        MonthEnd(game);
        if (!game.IsEnded()) BuildQueue(game);
    }
}

}  // namespace reedmark
