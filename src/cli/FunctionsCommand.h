#pragma once

#include <QtCore/qcontainerfwd.h>

class QTextStream;

namespace quorvel {

/// `quorvel-cli functions`: prints the function registry, one function a line, as tab-separated
/// fields: name, category, XLS number ("-" when none), "yes"/"no" for implemented, signature.
/// `args` are the arguments after the subcommand; returns the process exit code.
int RunFunctionsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace quorvel
