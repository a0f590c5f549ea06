#include "cli/FunctionsCommand.h"

#include "functions/SpreadSheetFunctions.h"

#include <QStringList>
#include <QTextStream>

namespace quorvel {

int RunFunctionsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        err << "usage: quorvel-cli functions\n";
        return 2;
    }
    SpreadSheetFunctionsRepository& repository = SpreadSheetFunctionsRepository::Instance();
    for (qsizetype i = 0; i < repository.Count(); ++i) {
        const SpreadSheetFunctionInfo& info = repository.GetItem(i);
        const QString xls = info.Token() == kNoXlsFunctionToken ? QStringLiteral("-") : QString::number(info.Token());
        out << info.Name() << '\t' << FunctionTypeResource(info.TypeID()).Text() << '\t' << xls << '\t'
            << (info.IsValid() ? "yes" : "no") << '\t' << info.ToString() << '\n';
    }
    return 0;
}

} // namespace quorvel
