#pragma once
// vtrtool's commands register themselves here, one file per command.

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace vtrtool {

struct Context {
    QDate today;     // --today, or the system date
    bool todayGiven = false; // --today was given: the run must not depend on the clock
    QStringList args; // the command's own arguments
};

struct Command {
    QString name;
    QString usage;   // one line, shown by --help
    std::function<int(const Context &)> run; // exit code: 0 ok, 1 load/save error, 2 bad usage
};

bool registerCommand(const Command &command);
// A command that draws text: it runs with Qt Gui (offscreen), which the others do without.
bool registerPaintingCommand(const Command &command);

} // namespace vtrtool
