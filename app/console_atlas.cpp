// Console commands of the atlas territory map: the province of a grid cell and the
// label anchor of a province.
#include "app/console.hpp"

#ifdef REEDMARK_HAS_ATLAS
#include <memory>

#include "atlas/atlas.hpp"
#endif

namespace reedmark {

#ifdef REEDMARK_HAS_ATLAS
namespace {

// The territory map is built on first use and shared by every console of the run: it
// never changes, and building it takes a noticeable fraction of a second.
const TAtlas& SharedAtlas() {
    static const std::unique_ptr<TAtlas> atlas = std::make_unique<TAtlas>();
    return *atlas;
}

TCommand AtlasCmd(int args, std::function<TJson(TConsole&, const TArgs&)> run) {
    return MakeCommand(args, args, false, std::move(run));
}

}  // namespace

void RegisterAtlasCommands(TConsole& console) {
    console.Register("atlas", AtlasCmd(2, [](TConsole&, const TArgs& a) -> TJson {
                         return SharedAtlas().ProvinceAt(a.Int(0), a.Int(1));
                     }));
    console.Register("anchor", AtlasCmd(1, [](TConsole&, const TArgs& a) -> TJson {
                         int p = a.Int(0);
                         if (p < 1 || p > kProvinceCount) throw TUsageError("No such province: " + a.Str(0));
                         auto [x, y] = SharedAtlas().LabelAnchor(p);
                         return TJson::array({x, y});
                     }));
}
#else
void RegisterAtlasCommands(TConsole&) {}
#endif

}  // namespace reedmark
