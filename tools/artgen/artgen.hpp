// The three pictures of the game painted by artgen: the character sheet from the sitter
// descriptions, the terrain and unit sheet, and the riverlands landscape.
#pragma once

#include <string>
#include <vector>

#include "art/art.hpp"
#include "paint.hpp"

namespace artgen {

// One portrait as the description file gives it.
struct TSitter {
    int cell = -1;
    std::string name;
    float faceW = 1, faceL = 1, jaw = 0.5f;
    Col skin;
    float age = 0;
    Col hair;
    std::string hairStyle = "topknot";
    Col accent, accent2;
    std::string brows = "normal", eyes = "calm", mouth = "neutral";
    std::string beard = "none";
    Col beardCol;
    std::string scar = "none", jewel = "none";
    std::string robeStyle = "cross";
    Col robe, trim, inner;
    std::string prop = "none";
    Col backTop, backBottom, glow;
    std::string scene = "mist";
};

// Reads the sixteen sitters; throws std::runtime_error naming the file and line of a fault.
std::vector<TSitter> ReadSitters(const std::string& path);

// Sheet sizes: a 4 x 4 grid whose portrait cells are 188 x 260, so the part the game
// shows (the cell without a 2-pixel margin) is exactly its 184 x 256 portrait image.
constexpr int kCharacterCellW = 188, kCharacterCellH = 260;
constexpr int kTerrainCell = 48;
constexpr int kLandscapeW = 744, kLandscapeH = 528;

void PaintCharacterSheet(reedmark::TArt& sheet, const std::vector<TSitter>& sitters);
void PaintTerrainSheet(reedmark::TArt& sheet);
void PaintRiverlands(reedmark::TArt& picture);

}  // namespace artgen
