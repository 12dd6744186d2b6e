// show FILE: every field and entry of a vehicle file, one NAME<TAB>VALUE line each.
#include "common.h"

#include "core/vehicle/textrules.h"

namespace vtrtool {
namespace {

void item(QTextStream &s, const char *name, const QString &value)
{
    s << name << '\t' << value << '\n';
}

template <size_t N>
void ledger(QTextStream &s, const char *name, const std::vector<LedgerEntry<N>> &entries)
{
    for (const auto &e : entries) {
        s << name;
        for (const LedgerText &c : e)
            s << '\t' << c.toString();
        s << '\n';
    }
}

int show(const Context &ctx)
{
    if (ctx.args.size() != 1)
        return usageError(QStringLiteral("show"), QStringLiteral("expects one FILE"));
    VehicleRecord r;
    const bool ok = loadFile(ctx, ctx.args[0], r);

    // What the window would hold, also after a load error.
    QTextStream &s = out();
    item(s, "Edit1", r.edit[1]);
    item(s, "Edit2", r.edit[2]);
    item(s, "Edit3", r.edit[3]);
    item(s, "DateTimePicker1", textrules::formatDate(r.DateTimePicker1));
    item(s, "Edit4", r.edit[4]);
    item(s, "DateTimePicker2", textrules::formatDate(r.DateTimePicker2));
    item(s, "Edit24", r.edit[24]);
    for (int n : {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17})
        s << "Edit" << n << '\t' << r.edit[size_t(n)] << '\n';
    item(s, "DateTimePicker3", textrules::formatDate(r.DateTimePicker3));
    for (int n : {19, 20, 21, 22})
        s << "Edit" << n << '\t' << r.edit[size_t(n)] << '\n';
    item(s, "ComboBox1", r.ComboBox1);
    item(s, "Image1", r.Image1);
    for (int n : kComputedEdits)
        s << "Edit" << n << '\t' << r.edit[size_t(n)] << '\n';
    for (const QString &line : r.Memo1)
        item(s, "Memo1", line);
    ledger(s, "ListView1", r.ListView1);
    ledger(s, "ListView2", r.ListView2);
    ledger(s, "ListView3", r.ListView3);
    s.flush();
    return ok ? 0 : 1;
}

const bool registered = registerCommand(
    {QStringLiteral("show"),
     QStringLiteral("show FILE                      print every field and entry, NAME<TAB>VALUE per line"),
     show});

} // namespace
} // namespace vtrtool
