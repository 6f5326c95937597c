// artgen: paints the game's three pictures from code and the sitter descriptions.
//
//   artgen SOURCE_DIR OUT_DIR [DOCS_DIR]
//
// Reads SOURCE_DIR/portraits.txt and writes OUT_DIR/characters-v2.png (4 x 4 portraits of
// 188 x 260), OUT_DIR/terrain-units-v2.png (4 x 4 sprites of 48 x 48 on transparency) and
// OUT_DIR/riverlands-v2.png (744 x 528). The same sources always give the same bytes.
// With DOCS_DIR it also writes small previews for the documentation there.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "art/sheets.hpp"
#include "artgen.hpp"

namespace {

// A preview of a picture scaled to w x h, over an opaque ground colour.
void Preview(const std::string& from, const std::string& to, int w, int h, bool smooth, std::uint32_t ground) {
    const auto picture = reedmark::LoadPNG(from);
    reedmark::TArt preview(w, h);
    preview.FillRect(0, 0, w, h, ground);
    preview.Blit(picture.get(), 0, 0, picture->Width(), picture->Height(), 0, 0, w, h, 255, smooth, false);
    reedmark::SavePNG(preview, to, false);
}

template <class Paint>
void Make(const std::string& path, int width, int height, bool alpha, Paint paint) {
    const auto began = std::chrono::steady_clock::now();
    reedmark::TArt picture(width, height);
    paint(picture);
    reedmark::SavePNG(picture, path, alpha);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    std::printf("%s: %d x %d in %.0f ms\n", path.c_str(), width, height, ms);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: artgen SOURCE_DIR OUT_DIR [DOCS_DIR]\n");
        return 2;
    }
    const std::string source = argv[1], out = std::string(argv[2]) + "/";
    try {
        const auto sitters = artgen::ReadSitters(source + "/portraits.txt");
        Make(out + reedmark::kCharacterSheetFile, 4 * artgen::kCharacterCellW, 4 * artgen::kCharacterCellH, false,
             [&](reedmark::TArt& a) { artgen::PaintCharacterSheet(a, sitters); });
        Make(out + reedmark::kTerrainSheetFile, 4 * artgen::kTerrainCell, 4 * artgen::kTerrainCell, true,
             [](reedmark::TArt& a) { artgen::PaintTerrainSheet(a); });
        Make(out + reedmark::kLandscapeFile, artgen::kLandscapeW, artgen::kLandscapeH, false,
             [](reedmark::TArt& a) { artgen::PaintRiverlands(a); });
        if (argc == 4) {
            const std::string docs = std::string(argv[3]) + "/";
            Preview(out + reedmark::kCharacterSheetFile, docs + "sheets-characters.png", 320, 442, true, 0);
            Preview(out + reedmark::kTerrainSheetFile, docs + "sheets-terrain.png", 384, 384, false, 0x819764);
            Preview(out + reedmark::kLandscapeFile, docs + "riverlands.png", 496, 352, true, 0);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
