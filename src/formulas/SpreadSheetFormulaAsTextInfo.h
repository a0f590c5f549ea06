#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCell;

/// A formula read from a file (or the clipboard) before the whole workbook exists: its text is
/// parsed only once every sheet it may name is there.
struct SpreadSheetFormulaAsTextInfo {
    SpreadSheetCell* Cell = nullptr;
    QString Formula;
    /// The cell the text's relative references were written from (usually the cell itself).
    int AnchorColumn = 0;
    int AnchorRow = 0;
    bool IsArray = false;
    bool IsShared = false;
    /// The area of an array formula.
    SpreadSheetArea Reference { -1, -1, -1, -1 };
    /// The value the file stored with the formula.
    SpreadSheetVariant FormulaResult;
};

/// The formulas of one load, resolved together at its end.
class SpreadSheetFormulaAsTextInfoList {
public:
    /// An entry for `cell`, anchored at the cell.
    SpreadSheetFormulaAsTextInfo& Add(SpreadSheetCell* cell, const QString& formula);
    void Add(SpreadSheetFormulaAsTextInfo info) { items_.push_back(std::move(info)); }
    int Count() const { return static_cast<int>(items_.size()); }
    const SpreadSheetFormulaAsTextInfo& Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
    void Clear() { items_.clear(); }

    /// Parses every entry into its cell with one parser of the workbook. Relative references (in A1
    /// notation) move by the distance from the entry's anchor to its cell; array entries become
    /// array formulas over their area. A text that is not a formula raises ESpreadSheetError
    /// "The \"%s\" formula is invalid"; the caller then restores the previous document.
    void ResolveReferences(SpreadSheet& book);

private:
    std::vector<SpreadSheetFormulaAsTextInfo> items_;
};

} // namespace quorvel
