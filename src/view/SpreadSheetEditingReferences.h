#pragma once

#include "model/SpreadSheetTypes.h"

#include <QColor>
#include <QString>

#include <vector>

namespace quorvel {

class SpreadSheetTableView;

/// A reference of the formula in the in-place editor, with the colour that marks it in the text
/// and frames its cells on the grid.
struct SpreadSheetEditingReference {
    SpreadSheetArea Area;
    int Start = 0; // 0-based position in the editor text
    int Length = 0;
    QColor Color;
};

/// The frame the grid draws around a referenced area while a formula is edited.
struct SpreadSheetReferenceFrame {
    SpreadSheetArea Area;
    QColor Color;
    bool operator==(const SpreadSheetReferenceFrame&) const = default;
};

/// The colour of the `index`-th distinct area of a formula: blue, red, purple, green, ... and round
/// again.
QColor EditingReferenceColor(int index);

/// The references of `text` typed into cell (`row`, `column`) of `view`, coloured in the order they
/// are written; another reference to an area already seen takes that area's colour. Empty unless
/// the text is a formula.
std::vector<SpreadSheetEditingReference> ColorFormulaReferences(
    SpreadSheetTableView& view, int row, int column, const QString& text);

/// One frame per distinct area, in the order the areas first appear.
std::vector<SpreadSheetReferenceFrame> ReferenceFrames(const std::vector<SpreadSheetEditingReference>& references);

} // namespace quorvel
