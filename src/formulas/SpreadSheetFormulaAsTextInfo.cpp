#include "formulas/SpreadSheetFormulaAsTextInfo.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetStrings.h"

#include <QScopeGuard>

namespace quorvel {

SpreadSheetFormulaAsTextInfo& SpreadSheetFormulaAsTextInfoList::Add(SpreadSheetCell* cell, const QString& formula)
{
    SpreadSheetFormulaAsTextInfo& info = items_.emplace_back();
    info.Cell = cell;
    info.Formula = formula;
    info.AnchorColumn = cell->ColumnIndex();
    info.AnchorRow = cell->RowIndex();
    return info;
}

void SpreadSheetFormulaAsTextInfoList::ResolveReferences(SpreadSheet& book)
{
    SpreadSheetFormulaController& controller = book.FormulaController();
    SpreadSheetFormulaParser parser(&book);
    const bool r1c1 = book.R1C1Reference();
    book.BeginUpdate();
    const auto end = qScopeGuard([&book] { book.EndUpdate(); });
    for (const SpreadSheetFormulaAsTextInfo& info : items_) {
        if (!info.Cell || info.Formula.isEmpty())
            continue;
        auto formula = std::make_unique<SpreadSheetFormula>(&controller, info.Cell);
        // Reading from the anchor and then following the cell keeps the offsets, which moves the
        // relative references by the distance between the two. R1C1 texts are relative already.
        if (!r1c1)
            formula->SetAnchor(info.AnchorRow, info.AnchorColumn);
        const bool parsed = parser.ParseFormula(info.Formula, *formula);
        if (!parsed || (formula->ErrorIndex() != 0 && formula->ErrorCode() == ecNone))
            throw ESpreadSheetError(sErrorInvalidFormula.Format({ info.Formula }));
        formula->UpdateAnchor();
        SpreadSheetFormula* installed = formula.get();
        info.Cell->SetAsFormula(std::move(formula));
        if (info.IsArray && info.Reference.left >= 0) {
            installed->SetArrayFormulaSize({ info.Reference.right - info.Reference.left + 1,
                info.Reference.bottom - info.Reference.top + 1 });
            controller.AddArrayFormula(installed);
        }
    }
}

} // namespace quorvel
