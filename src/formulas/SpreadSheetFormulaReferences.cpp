#include "formulas/SpreadSheetFormulaReferences.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetTableView.h"

namespace quorvel {

/// The workbook's parser reading references only: everything else in the text is plain text, and
/// the expression is not built, so that an unfinished formula still gives its references.
class SpreadSheetFormulaReferencesParser final : public SpreadSheetFormulaParser {
public:
    SpreadSheetFormulaReferencesParser(SpreadSheet* workbook, std::vector<SpreadSheetFormulaReferenceInfo>& items)
        : SpreadSheetFormulaParser(workbook)
        , items_(items)
    {
    }

protected:
    bool ReadsStructure() const override { return false; }
    TokenChain ParseText(int start, int finish) override;

private:
    void AddReference(SpreadSheetFormulaReferenceToken& reference);

    std::vector<SpreadSheetFormulaReferenceInfo>& items_;
};

SpreadSheetAbstractFormulaParser::TokenChain SpreadSheetFormulaReferencesParser::ParseText(int start, int finish)
{
    std::vector<TokenPtr> elements;
    int position = start;
    for (;;) {
        SkipBlanks(position, finish);
        if (position > finish)
            break;
        TokenPtr element = ReadElement(position, finish);
        if (!element || HasError())
            return {};
        elements.push_back(std::move(element));
    }
    FoldRanges(elements);
    for (const TokenPtr& element : elements) {
        if (IsReferenceKind(element->Kind()))
            AddReference(static_cast<SpreadSheetFormulaReferenceToken&>(*element));
    }
    // The formula keeps no tokens: only the list is wanted, and a flat run of elements would not
    // pass the limits of a token chain.
    return {};
}

void SpreadSheetFormulaReferencesParser::AddReference(SpreadSheetFormulaReferenceToken& reference)
{
    // A reference without a link reads the formula's own sheet; a link may name this sheet too.
    const auto reachesOwnSheet = [this](const SpreadSheet3DReferenceCustomLink* link) {
        return !link || link->View(formula_) == formula_->View();
    };
    bool onOwnSheet = reachesOwnSheet(reference.Link());
    if (reference.Kind() == tk3DAreaReference)
        onOwnSheet
            = onOwnSheet && reachesOwnSheet(static_cast<SpreadSheetFormula3DAreaReferenceToken&>(reference).Link2());
    // Relative components are offsets from the formula's anchor.
    reference.SetOwnerOfChain(formula_);
    SpreadSheetArea area;
    if (onOwnSheet && reference.GetArea(area))
        items_.push_back({ area, reference.SourceStart(), reference.SourceFinish() - reference.SourceStart() + 1 });
}

void SpreadSheetFormulaReferences::Initialize(const SpreadSheetCell& cell, const QString& formulaText)
{
    Initialize(*cell.View(), cell.RowIndex(), cell.ColumnIndex(), formulaText);
}

void SpreadSheetFormulaReferences::Initialize(
    SpreadSheetTableView& view, int row, int column, const QString& formulaText)
{
    items_.clear();
    SpreadSheet* workbook = &view.SpreadSheetOwner();
    SpreadSheetExpressionFormula formula(&workbook->FormulaController(), &view, row, column);
    SpreadSheetFormulaReferencesParser parser(workbook, items_);
    try {
        // The list is filled only when the whole text reads without an error.
        parser.ParseFormula(formulaText, formula);
    } catch (const ESpreadSheetFormulaIsTooLongError&) {
        items_.clear();
    }
}

} // namespace quorvel
