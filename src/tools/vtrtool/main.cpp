// vtrtool: the command-line companion of Tev Auto. Reads, checks, rewrites, exports and
// generates vehicle files with the application's own reader and writer.
#include "commands.h"
#include "common.h"
#include "largeheap.h"

#include "core/vehicle/vtrfile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#ifdef TEV_VTRTOOL_REPORT
#include <QGuiApplication>
#endif

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace vtrtool {
namespace {
std::vector<Command> &commands()
{
    static std::vector<Command> c;
    return c;
}

QStringList &paintingCommands()
{
    static QStringList names;
    return names;
}

const Command *find(const QString &name)
{
    for (const Command &c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

void printHelp(QTextStream &s)
{
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command &a, const Command &b) { return a.name < b.name; });
    s << "usage: vtrtool [--today dd/mm/yyyy] COMMAND ARGS...\n"
         "\n"
         "Reads, checks, rewrites, exports and generates Tev Auto vehicle files (.vtr)\n"
         "with the application's own reader and writer.\n"
         "\n"
         "commands:\n";
    for (const Command &c : sorted) {
        const qsizetype gap = c.usage.indexOf(QLatin1String("  "));
        const QString synopsis = c.usage.left(gap).trimmed();
        const QString what = gap < 0 ? QString() : c.usage.mid(gap).trimmed();
        s << "  " << synopsis.leftJustified(38) << ' ' << what << '\n';
    }
    s << "\n"
         "options:\n"
         "  --today dd/mm/yyyy   the date taken as today (dates of a new record, statistics, what is\n"
         "                       due); default: the system date\n"
         "  --help               this help; COMMAND --help shows the command's line\n"
         "\n"
         "A picture named in a file is looked up beside the file, by name and extension only.\n"
         "A file name that is not UTF-8 cannot be named exactly: the tool refuses it.\n"
         "Exit status: 0 done, 1 the file could not be read or written (the application's message\n"
         "on stderr), 2 bad usage.\n";
    s.flush();
}

// An argument whose bytes do not come back from their decoded text (a name that is not
// UTF-8, as old disks and archives hold) would make the tool read or write another file than
// the one named; none is touched.
bool refuseUnnameable(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        QString shown; // the bytes beyond ASCII as \xHH, as a shell shows them
        for (const char c : raw)
            shown += (c & 0x80) ? QStringLiteral("\\x%1").arg(QString::number(uchar(c), 16).toUpper())
                                : QString(QLatin1Char(c));
        err() << vtrfile::unnameableError(shown) << '\n';
        err().flush();
        return true;
    }
    return false;
}

#ifdef TEV_VTRTOOL_REPORT
// The command a command line names (the first word after the options), if it paints.
bool paintingCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--today") {
            ++i;
            continue;
        }
        if (a.startsWith('-'))
            continue;
        return paintingCommands().contains(QString::fromLocal8Bit(a));
    }
    return false;
}
#endif

int badUsage(const QString &message)
{
    err() << "vtrtool: " << message << "\nTry 'vtrtool --help'.\n";
    err().flush();
    return 2;
}
} // namespace

bool registerCommand(const Command &command)
{
    commands().push_back(command);
    return true;
}

bool registerPaintingCommand(const Command &command)
{
    paintingCommands() << command.name;
    return registerCommand(command);
}

QString usageOf(const QString &command)
{
    const Command *c = find(command);
    return c ? c->usage : QString();
}

} // namespace vtrtool

int main(int argc, char *argv[])
{
    using namespace vtrtool;
    prepareLargeHeap();
#ifdef TEV_VTRTOOL_REPORT
    // Fonts need Qt Gui; a tool draws on no screen, whatever display is around.
    std::unique_ptr<QCoreApplication> app;
    if (paintingCommand(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's own remarks (a missing runtime folder...) would mix with the tool's messages.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                fprintf(stderr, "%s\n", qPrintable(message));
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
#else
    QCoreApplication app(argc, argv);
#endif
    if (refuseUnnameable(argc, argv))
        return 1;
    const QStringList args = QCoreApplication::arguments();

    Context ctx;
    ctx.today = QDate::currentDate();
    qsizetype i = 1;
    for (; i < args.size() && args[i].startsWith(QLatin1Char('-')); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printHelp(out());
            return 0;
        }
        QString value;
        if (a == QLatin1String("--today")) {
            if (++i == args.size())
                return badUsage(QStringLiteral("--today needs a date dd/mm/yyyy"));
            value = args[i];
        } else if (a.startsWith(QLatin1String("--today="))) {
            value = a.mid(8);
        } else {
            return badUsage(QStringLiteral("unknown option '%1'").arg(a));
        }
        ctx.today = QDate::fromString(value, QStringLiteral("dd/MM/yyyy"));
        ctx.todayGiven = true;
        if (!ctx.today.isValid())
            return badUsage(QStringLiteral("'%1' is not a date dd/mm/yyyy").arg(value));
    }
    if (i == args.size()) {
        printHelp(err());
        return 2;
    }
    const Command *command = find(args[i]);
    if (!command)
        return badUsage(QStringLiteral("unknown command '%1'").arg(args[i]));
    ctx.args = args.mid(i + 1);
    if (ctx.args.contains(QLatin1String("--help"))) {
        out() << "usage: vtrtool " << command->usage << '\n';
        out().flush();
        return 0;
    }
    const int rc = command->run(ctx);
    out().flush();
    err().flush();
    return rc;
}
