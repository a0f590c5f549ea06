#pragma once

#include "model/SpreadSheetTypes.h"

#include <QString>

#include <vector>

namespace quorvel {

class SpreadSheetCell;
class SpreadSheetTableView;

/// One reference of a formula text: the cells it covers and where it is written.
struct SpreadSheetFormulaReferenceInfo {
    SpreadSheetArea Area;
    /// 1-based position of the reference's first character in the whole formula text, "=" included
    /// (the numbering of token source spans and parse error positions).
    int PositionInText = 0;
    /// Characters of the reference, a sheet prefix included.
    int Length = 0;
};

/// The references of a formula being typed into a cell, for the editor to show: those on the
/// cell's own sheet, with or without a sheet prefix, in the order they are written. An unfinished
/// formula ("=SUM(A1:B2, C3" or "=A1+") still lists its references; a text that is not a formula or
/// that breaks the lexical rules (an unclosed quote, an unknown name after "Sheet!") lists none.
class SpreadSheetFormulaReferences {
public:
    /// Lists the references of `formulaText` typed into `cell`.
    void Initialize(const SpreadSheetCell& cell, const QString& formulaText);
    /// The same for cell (`row`, `column`) of `view`, which need not exist yet.
    void Initialize(SpreadSheetTableView& view, int row, int column, const QString& formulaText);

    int Count() const { return static_cast<int>(items_.size()); }
    const SpreadSheetFormulaReferenceInfo& Items(int index) const { return items_[static_cast<std::size_t>(index)]; }
    const std::vector<SpreadSheetFormulaReferenceInfo>& List() const { return items_; }

private:
    std::vector<SpreadSheetFormulaReferenceInfo> items_;
};

} // namespace quorvel
