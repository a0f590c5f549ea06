#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCustomFormula;
class SpreadSheetFormatSettings;
class SpreadSheetReferencePath;
class SpreadSheetTableView;

/// Owns the cell formulas of a workbook and evaluates them. A calculation pass clears every
/// cached result and asks each formula for its value in list order; a formula that reads a formula
/// cell evaluates it on the spot, so each formula is evaluated once per pass, dependencies first.
class SpreadSheetFormulaController {
public:
    explicit SpreadSheetFormulaController(SpreadSheet* owner);
    ~SpreadSheetFormulaController();
    SpreadSheetFormulaController(const SpreadSheetFormulaController&) = delete;
    SpreadSheetFormulaController& operator=(const SpreadSheetFormulaController&) = delete;

    SpreadSheet* Owner() const { return owner_; }
    const SpreadSheetFormatSettings& FormatSettings() const;

    void Add(SpreadSheetCustomFormula* formula);
    void Remove(SpreadSheetCustomFormula* formula);
    int Count() const { return static_cast<int>(formulas_.size()); }
    SpreadSheetCustomFormula* Item(int index) const { return formulas_[static_cast<std::size_t>(index)]; }

    bool CalculationInProcess() const { return calculationInProcess_; }
    /// Value and error of a cell as formulas read it; a formula cell gives its formula's current value.
    void ReadCellValue(
        SpreadSheetTableView* view, int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);

    // Circular-reference bookkeeping of the formula being evaluated.
    bool CircularReference() const { return circularReference_; }
    void SetCircularReference(bool value) { circularReference_ = value; }

private:
    SpreadSheet* owner_;
    std::vector<SpreadSheetCustomFormula*> formulas_;
    bool calculationInProcess_ = false;
    bool circularReference_ = false;
};

} // namespace quorvel
