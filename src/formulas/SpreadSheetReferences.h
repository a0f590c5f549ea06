#pragma once

#include "model/SpreadSheetTypes.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <limits>

namespace quorvel {

class SpreadSheetFormatSettings;

/// An index that stands for every row (in a row slot) or every column (in a column slot).
inline constexpr int kWholeLineIndex = std::numeric_limits<std::int32_t>::max();
/// The actual index of a component that is in error.
inline constexpr int kErrorIndex = -1;
inline constexpr SpreadSheetArea kInvalidArea { -1, -1, -1, -1 };

/// One row or column part of a reference: an index (absolute) or an offset from the owner cell (relative),
/// plus the whole-line and error flags.
class SpreadSheetReference {
public:
    static SpreadSheetReference Create(int index, bool isAbsolute);
    /// Absolute when `origin` is negative, otherwise relative to it; an offset at or beyond `maxIndex`
    /// (kMaxRowIndex or kMaxColumnIndex) makes the component whole-line.
    static SpreadSheetReference Create(int index, int origin, int maxIndex);
    static SpreadSheetReference AllItems();
    /// All flags clear and an offset that keeps the actual index negative from any origin.
    static SpreadSheetReference Invalid();

    bool IsAbsolute() const { return (flags_ & kAbsoluteBit) != 0; }
    bool IsAllItems() const { return (flags_ & kAllItemsBit) != 0; }
    bool IsError() const { return (flags_ & kErrorBit) != 0; }
    void SetIsAbsolute(bool value) { SetFlag(kAbsoluteBit, value); }
    void SetIsAllItems(bool value) { SetFlag(kAllItemsBit, value); }
    void SetIsError(bool value) { SetFlag(kErrorBit, value); }

    int Offset() const { return offset_; }
    /// Setting the whole-line index marks the component whole-line; any other value clears that mark.
    void SetOffset(int value);

    /// kErrorIndex if in error, kWholeLineIndex if whole-line, else the index seen from `origin`.
    int ActualValue(int origin) const;
    /// Keeps the component pointing at `value` from `origin`; a negative target makes it an error for good.
    void SetActualValue(int origin, int value);
    /// Shifts a relative component that is neither an error nor whole-line.
    void Move(int delta);
    void Reset();

    /// Adjusts the component for rows or columns `index1`..`index2` being deleted (`newIndex1` < 0)
    /// or inserted/moved to `newIndex1`. `moveReference` moves the target, `moveOrigin` the owner cell.
    /// Returns true when the component changed or became an error.
    bool UpdateReference(int origin, int index1, int index2, int newIndex1, bool moveReference, bool moveOrigin);
    /// The same for an area whose first corner is this component and last corner `last` along one axis;
    /// a deletion shrinks the area to its surviving part and only a wholly deleted area becomes an error.
    bool UpdateAreaReference(SpreadSheetReference& last, int origin, int index1, int index2, int newIndex1,
        bool moveReference, bool moveOrigin);

    bool operator==(const SpreadSheetReference&) const = default;

private:
    static constexpr std::uint32_t kAbsoluteBit = 1;
    static constexpr std::uint32_t kAllItemsBit = 2;
    static constexpr std::uint32_t kErrorBit = 4;

    void SetFlag(std::uint32_t bit, bool value) { flags_ = value ? (flags_ | bit) : (flags_ & ~bit); }

    std::uint32_t flags_ = 0;
    std::int32_t offset_ = 0;
};

/// A cell reference: the row and column components of one corner.
struct SpreadSheetCellReference {
    SpreadSheetReference row;
    SpreadSheetReference column;
    bool operator==(const SpreadSheetCellReference&) const = default;
};

/// An area reference: its first and last corners.
struct SpreadSheetAreaReference {
    SpreadSheetCellReference first;
    SpreadSheetCellReference last;
    bool operator==(const SpreadSheetAreaReference&) const = default;
};

/// Column names: letters A..XFD in A1 notation, 1-based numbers in R1C1 notation.
class SpreadSheetColumnReferences {
public:
    static QString NameByIndex(int index, bool r1c1ReferenceStyle = false);
    /// Accepts only a bare column inside the grid ("C", "$C", "xfd"); in R1C1 style a number 1..16384.
    static bool TryIndexByName(const QString& name, int& index, bool r1c1ReferenceStyle = false);
    /// The column index, or -1 when the name is not a column.
    static int IndexByName(const QString& name, bool r1c1ReferenceStyle = false);
};

/// Reader of one reference in A1 or R1C1 notation from upper-case text.
class SpreadSheetReferenceParser {
public:
    /// Reads from `startPos` up to `finishPos` (0-based, inclusive). On success `startPos` moves to the
    /// first character after the reference; on failure it is unchanged. A missing row or column part
    /// comes back whole-line. Relative A1 parts carry the plain index: the caller knows the owner cell.
    static bool Parse(QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row,
        SpreadSheetReference& column, bool r1c1ReferenceStyle);
    static bool ParseA1(
        QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row, SpreadSheetReference& column);
    static bool ParseR1C1(
        QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row, SpreadSheetReference& column);
};

/// What a sheet prefix needs to know about a sheet.
class ISpreadSheetViewCaption {
public:
    virtual QString GetCaption() const = 0;
    /// True when the caption must be quoted in references (see IsCaptionTextDelimited).
    virtual bool GetIsCaptionTextDelimited() const = 0;

protected:
    ~ISpreadSheetViewCaption() = default;
};

/// Builders of reference text. The appending forms add to `buffer`; prefixes are ready sheet or link texts.
class SpreadSheetReferenceAsString {
public:
    static void Build(QString& buffer, QStringView prefix, const SpreadSheetReference& row,
        const SpreadSheetReference& column, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle);
    static QString Build(QStringView prefix, const SpreadSheetReference& row, const SpreadSheetReference& column,
        int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle);
    /// An area given as indexes; origins below zero make the output absolute.
    static void Build(QString& buffer, QStringView prefix, const SpreadSheetArea& area, int rowOrigin, int columnOrigin,
        bool r1c1ReferenceStyle);
    /// An area given as two corners, each with its own prefix (the second usually empty).
    static void BuildArea(QString& buffer, QStringView prefix1, const SpreadSheetReference& row1,
        const SpreadSheetReference& column1, QStringView prefix2, const SpreadSheetReference& row2,
        const SpreadSheetReference& column2, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle);
    static QString BuildArea(QStringView prefix1, const SpreadSheetReference& row1, const SpreadSheetReference& column1,
        QStringView prefix2, const SpreadSheetReference& row2, const SpreadSheetReference& column2, int rowOrigin,
        int columnOrigin, bool r1c1ReferenceStyle);

    /// The sheet prefix ("Data!", "'My Sheet'!"), or empty text without a sheet.
    static QString BuildViewReference(const ISpreadSheetViewCaption* view);
    /// Quotes the name unless told it need not be; an apostrophe inside is kept as it is.
    static QString BuildViewReference(const QString& viewName, DefaultBoolean isDelimited = bDefault);
    static bool CheckIfViewNameMustBeEscaped(QStringView name, QStringView breakChars);
    /// The rule for a sheet caption: quoted when it holds a break character or the decimal separator.
    static bool IsCaptionTextDelimited(QStringView caption, const SpreadSheetFormatSettings& settings);
};

/// Whole text as one cell reference; a whole-line part comes back as kWholeLineIndex. Refuses indexes
/// outside the grid. R1C1 relative parts count from row and column 0.
bool TryParseCellReference(const QString& text, bool r1c1ReferenceStyle, int& row, int& column);
/// As TryParseCellReference, with row and column -1 on failure.
void ParseCellReference(const QString& text, bool r1c1ReferenceStyle, int& row, int& column);
/// Whole text as an area ("B2", "A1:C3", "A:C", "2:5"); whole columns span rows 0..kWholeLineIndex,
/// whole rows columns 0..kWholeLineIndex.
bool TryParseAreaReference(const QString& text, bool r1c1ReferenceStyle, SpreadSheetArea& area);
/// As TryParseAreaReference, with kInvalidArea on failure.
SpreadSheetArea ParseAreaReference(const QString& text, bool r1c1ReferenceStyle);

enum SpreadSheetReferenceTextFlag : unsigned {
    rtfAbsoluteColumns = 1,
    rtfAbsoluteRows = 2,
    rtfSheetName = 4,
};
using SpreadSheetReferenceTextFlags = unsigned;

/// Text of an area; `rtfSheetName` prefixes the sheet name, always quoted.
QString AreaToReferenceText(const SpreadSheetArea& area, bool r1c1ReferenceStyle,
    SpreadSheetReferenceTextFlags flags = 0, const QString& sheetName = QString());

} // namespace quorvel
