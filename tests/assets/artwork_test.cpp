// The painted sheets: artgen makes the same bytes every time, the sheets have the grids the
// loader cuts them by, terrain sprites stand on transparency, and faulty sitter
// descriptions stop the build with their line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "art/sheets.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

const std::string kSource = REEDMARK_SOURCE_DIR;
const std::string kArt = std::string(REEDMARK_BUILD_ASSETS) + "/art/";

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int RunArtgen(const std::string& source, const std::string& out) {
    const std::string command =
        std::string(REEDMARK_ARTGEN_PATH) + " " + source + " " + out + " > /dev/null 2> " + out + "/errors.txt";
    return std::system(command.c_str());
}

TEST(Artwork, AFreshRunPaintsTheSameBytesAsTheBuild) {
    testing::TTempWorld out(nullptr);
    ASSERT_EQ(RunArtgen(kSource + "/tools/artgen", out.Dir()), 0) << Bytes(out.Path("errors.txt"));
    for (const char* file : {kCharacterSheetFile, kTerrainSheetFile, kLandscapeFile}) {
        const std::string built = Bytes(kArt + file);
        ASSERT_FALSE(built.empty()) << file;
        EXPECT_TRUE(built == Bytes(out.Path(file))) << file << " differs between two runs";
    }
}

TEST(Artwork, SheetsHaveTheGridsTheGameCutsThemBy) {
    TArtwork art;
    art.LoadArtwork(kArt);
    ASSERT_TRUE(art.HasCharacterSheet() && art.HasTerrainSheet() && art.HasLandscape());
    // A portrait cell without its 2-pixel margin is exactly the 184 x 256 portrait image.
    const TArt& characters = *art.Characters();
    for (int cell = 0; cell < 16; ++cell) {
        const TCellRect r = SheetCell(characters.Width(), characters.Height(), cell);
        EXPECT_EQ(r.w - 4, 184) << cell;
        EXPECT_EQ(r.h - 4, 256) << cell;
    }
    EXPECT_EQ(art.Terrain()->Width() % 4, 0);
    EXPECT_EQ(art.Terrain()->Height() % 4, 0);
    // The town screen shows the landscape at its own size; the portrait crop lies inside it.
    EXPECT_EQ(art.Landscape()->Width(), 744);
    EXPECT_EQ(art.Landscape()->Height(), 528);
    EXPECT_LE(art.Landscape()->Width() / 4 + art.Landscape()->Height() * 3 / 4, art.Landscape()->Width());

    // Every leader's portrait is a picture of its own: no two of the sixteen cells are alike.
    std::set<std::vector<std::uint32_t>> portraits;
    for (int id = 1; id <= 16; ++id) {
        TArt portrait(184, 256);
        const bool female = id == 12 || id == 14 || id == 15;
        const char* profession = id == 13   ? "trader"
                                 : id == 14 ? "scholar"
                                 : id == 15 ? "innkeeper"
                                 : id == 16 ? "mystic"
                                            : "";
        ASSERT_TRUE(art.PaintPortrait(portrait, id, female, profession));
        portraits.insert(portrait.Pixels());
    }
    EXPECT_EQ(portraits.size(), 16u);
}

TEST(Artwork, TerrainSpritesStandOnTransparency) {
    std::unique_ptr<TArt> sheet = LoadPNG(kArt + kTerrainSheetFile);
    ASSERT_NE(sheet, nullptr);
    for (int cell = 0; cell < 16; ++cell) {
        const TCellRect r = SheetCell(sheet->Width(), sheet->Height(), cell);
        for (auto [x, y] :
             {std::pair{r.x, r.y}, {r.x + r.w - 1, r.y}, {r.x, r.y + r.h - 1}, {r.x + r.w - 1, r.y + r.h - 1}})
            EXPECT_EQ(sheet->Argb(x, y) >> 24, 0u) << "cell " << cell << " corner " << x << "," << y;
        int painted = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) painted += (sheet->Argb(x, y) >> 24) != 0;
        if (cell == 15)
            EXPECT_EQ(painted, 0) << "the unused cell stays empty";
        else
            EXPECT_GT(painted, r.w * r.h / 20) << "cell " << cell << " is nearly empty";
    }
}

TEST(Artwork, FaultySitterDescriptionsAreRefusedWithTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cell 0\nhat red\n", "portraits.txt:2: unknown key \"hat\""},
        {"cell 0\nskin 12345G\n", "portraits.txt:2: colour expected"},
        {"cell 0\nhair 101010 mohawk\n", "portraits.txt:2: unknown style \"mohawk\""},
        {"cell 1\n", "portraits.txt:1: cells must come in order"},
        {"cell 0\nface 2 1 1\n", "portraits.txt:2: number from"},
        {"cell 0\n", "16 cells expected"},
    };
    for (const auto& [text, message] : cases) {
        testing::TTempWorld dir(nullptr);
        testing::WriteText(dir.Path("portraits.txt"), text);
        EXPECT_NE(RunArtgen(dir.Dir(), dir.Dir()), 0) << text;
        EXPECT_NE(Bytes(dir.Path("errors.txt")).find(message), std::string::npos)
            << text << "\nsaid: " << Bytes(dir.Path("errors.txt"));
    }
}

}  // namespace
}  // namespace reedmark
