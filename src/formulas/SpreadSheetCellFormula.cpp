#include "formulas/SpreadSheetFormula.h"

#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"

namespace quorvel {

std::unique_ptr<SpreadSheetFormula> ParseCellFormula(SpreadSheetCell* cell, const QString& text)
{
    if (!text.startsWith(u'='))
        return nullptr;
    auto formula = std::make_unique<SpreadSheetFormula>(&cell->SpreadSheetOwner()->FormulaController(), cell);
    if (!ParseExpressionFormula(text, *formula))
        return nullptr;
    // A formula that parsed prints from its tokens; only a broken one needs its text kept.
    if (formula->ErrorIndex() == 0)
        formula->SetSourceText(QString());
    return formula;
}

bool ParseExpressionFormula(const QString& text, SpreadSheetCustomFormula& formula)
{
    if (!ParseFormula(text, formula))
        return false;
    // Broken structure ("=1+", "=SUM(1") is not a formula a cell can keep; a name the parser could
    // not read is (it shows "#NAME?" until fixed).
    if (formula.ErrorIndex() != 0 && formula.ErrorCode() == ecNone) {
        formula.SetTokens(nullptr);
        return false;
    }
    return true;
}

} // namespace quorvel
