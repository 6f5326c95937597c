// Console commands of the province orders: check, preview, chance, apply and price.
#include "app/console.hpp"
#include "model/orders.hpp"

namespace reedmark {

namespace {

// An order is given by its number 0..39 or by its identifier (oRest .. oRumors).
TOrder ParseOrder(const TArgs& args, size_t i) {
    TOrder order = oRest;
    if (OrderFromIdent(args.Str(i), order)) return order;
    int n = -1;
    try {
        n = args.Int(i);
    } catch (const TUsageError&) {
        n = -1;
    }
    if (n < 0 || n >= kOrderCount) throw TUsageError("Unknown order: " + args.Str(i));
    return static_cast<TOrder>(n);
}

TOrderRecord ParseRecord(const TArgs& args) {
    TOrderRecord record;
    record.order = ParseOrder(args, 0);
    record.actor = args.Int(1);
    record.target = args.Int(2);
    record.quantity = args.Int(3);
    record.option = args.Int(4);
    return record;
}

// check and apply answer "No campaign loaded." themselves, as the order dialog shows it;
// preview and chance have nothing to say without a campaign.
TCommand RecordCommand(bool needsCampaign, std::function<TJson(TGame&, const TOrderRecord&)> run) {
    TCommand c;
    c.minArgs = 5;
    c.maxArgs = 5;
    c.needsCampaign = needsCampaign;
    c.run = [run](TConsole& con, const TArgs& a) -> TJson { return run(con.Game(), ParseRecord(a)); };
    return c;
}

}  // namespace

void RegisterOrdersCommands(TConsole& console) {
    console.Register("check",
                     RecordCommand(false, [](TGame& g, const TOrderRecord& r) -> TJson { return CheckOrder(g, r); }));
    console.Register("preview",
                     RecordCommand(true, [](TGame& g, const TOrderRecord& r) -> TJson { return PreviewOrder(g, r); }));
    console.Register("chance",
                     RecordCommand(true, [](TGame& g, const TOrderRecord& r) -> TJson { return SuccessChance(g, r); }));
    console.Register("apply",
                     RecordCommand(false, [](TGame& g, const TOrderRecord& r) -> TJson { return ApplyOrder(g, r); }));
    TCommand price;
    price.minArgs = 3;
    price.maxArgs = 3;
    price.needsCampaign = true;
    price.run = [](TConsole& con, const TArgs& a) -> TJson {
        TOrder order = ParseOrder(a, 0);
        int province = a.Int(1);
        int quantity = a.Int(2);
        TJson out = TJson::object();
        out["unitCents"] = UnitPriceCents(con.Game(), order, province);
        out["total"] = TotalPriceGold(con.Game(), order, province, quantity);
        out["text"] = PriceText(con.Game(), order, province);
        return out;
    };
    console.Register("price", price);
}

}  // namespace reedmark
