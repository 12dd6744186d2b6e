// vtrtool: the command-line companion of Tev Auto (placeholder until the commands land).
#include "commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <vector>

namespace vtrtool {
namespace {
std::vector<Command> &commands()
{
    static std::vector<Command> c;
    return c;
}
} // namespace

bool registerCommand(const Command &command)
{
    commands().push_back(command);
    return true;
}
} // namespace vtrtool

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "usage: vtrtool COMMAND ...\n";
    return 2;
}
