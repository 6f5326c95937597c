// The town screen while a fellowship visits the town of its province.
#include "model/orders.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

void DrawTown(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(150, 160, 980, 490, "TOWN");
    d.DrawWrapped(200, 220, 880, s.statusMessage, kPaleBlue, 20, 4);
    d.AddMenuItem(200, 540, 420, 42, 100 + oRest, '0', "Return to lair", true);
}

}  // namespace reedmark
