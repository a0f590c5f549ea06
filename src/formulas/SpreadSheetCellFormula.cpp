#include "formulas/SpreadSheetFormula.h"

namespace quorvel {

// Until the parser lands nothing reads as a formula.
std::unique_ptr<SpreadSheetFormula> ParseCellFormula(SpreadSheetCell*, const QString&) { return nullptr; }

bool ParseExpressionFormula(const QString&, SpreadSheetCustomFormula&) { return false; }

} // namespace quorvel
