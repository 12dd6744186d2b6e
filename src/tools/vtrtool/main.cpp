// vtrtool: the command-line companion of Tev Auto (placeholder until the commands land).
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "usage: vtrtool COMMAND ...\n";
    return 2;
}
