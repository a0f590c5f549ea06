#include "view/SpreadSheetEditingReferences.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormulaReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetTableView.h"

#include <algorithm>
#include <array>

namespace quorvel {

namespace {

const std::array<QColor, 8> kPalette { {
    QColor(0x00, 0x00, 0xFF), // blue
    QColor(0xFF, 0x00, 0x00), // red
    QColor(0x80, 0x00, 0x80), // purple
    QColor(0x00, 0x80, 0x00), // green
    QColor(0xFF, 0x80, 0x00), // orange
    QColor(0x00, 0x80, 0x80), // teal
    QColor(0x99, 0x33, 0x00), // brown
    QColor(0xFF, 0x00, 0xFF), // magenta
} };

} // namespace

QColor EditingReferenceColor(int index)
{
    return kPalette[static_cast<std::size_t>(index) % kPalette.size()];
}

std::vector<SpreadSheetEditingReference> ColorFormulaReferences(
    SpreadSheetTableView& view, int row, int column, const QString& text)
{
    // Most texts typed are not formulas: they need no parser.
    if (!text.startsWith(view.SpreadSheetOwner().FormatSettings().Operation(opEQ)))
        return {};
    SpreadSheetFormulaReferences references;
    references.Initialize(view, row, column, text);
    std::vector<SpreadSheetEditingReference> result;
    std::vector<SpreadSheetArea> areas; // distinct, in order of appearance: index = colour
    for (const SpreadSheetFormulaReferenceInfo& item : references.List()) {
        auto area = std::find(areas.begin(), areas.end(), item.Area);
        if (area == areas.end())
            area = areas.insert(areas.end(), item.Area);
        result.push_back({ item.Area, item.PositionInText - 1, item.Length,
            EditingReferenceColor(static_cast<int>(area - areas.begin())) });
    }
    return result;
}

std::vector<SpreadSheetReferenceFrame> ReferenceFrames(const std::vector<SpreadSheetEditingReference>& references)
{
    std::vector<SpreadSheetReferenceFrame> frames;
    for (const SpreadSheetEditingReference& reference : references) {
        const SpreadSheetReferenceFrame frame { reference.Area, reference.Color };
        if (std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    return frames;
}

} // namespace quorvel
