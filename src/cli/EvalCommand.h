#pragma once

#include <QStringList>

class QTextStream;

namespace quorvel {

/// `quorvel-cli eval [options] ITEM...`: types values into a new workbook and prints cells.
/// Returns the process exit status (2 for bad arguments).
int RunEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace quorvel
