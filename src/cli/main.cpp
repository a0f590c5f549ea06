#include "cli/EvalCommand.h"
#include "cli/FunctionsCommand.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: quorvel-cli COMMAND [ARGS...]\n"
                               "commands:\n"
                               "  eval [--locale NAME] [--lang ru] [--1904] [--r1c1] [--iterate N] [--manual] ITEM...\n"
                               "  functions\n";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    const QString command = args.takeFirst();
    int status = 2;
    if (command == u"eval")
        status = quorvel::RunEvalCommand(args, out, err);
    else if (command == u"functions")
        status = quorvel::RunFunctionsCommand(args, out, err);
    else if (command == u"--help" || command == u"help") {
        out << kUsage;
        status = 0;
    } else
        err << "quorvel-cli: unknown command: " << command << "\n" << kUsage;
    out.flush();
    err.flush();
    return status;
}
