#include "formulas/SpreadSheetReferences.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetStrings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quorvel {

namespace {

// Far above any grid index and far below 32-bit overflow, so offsets built from a read number can
// still be moved and added to an origin.
constexpr int kMaxReadNumber = 99'999'999;

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool AppendDigit(int& number, QChar c)
{
    number = number * 10 + (c.unicode() - u'0');
    return number <= kMaxReadNumber;
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsUpperLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

// One state machine step: the next state, or one of the two ends.
enum : std::int8_t { kFail = -1, kAccept = -2 };

// A1 reader. Character classes: digit, letter, "$", terminator.
enum A1State : std::int8_t {
    a1Start,
    a1StartDollar,
    a1Letter1,
    a1AbsoluteLetter1,
    a1Letter2,
    a1Letter3,
    a1RowDollar,
    a1AbsoluteRowDigits,
    a1RowDigits,
    a1StateCount
};

constexpr std::array<std::array<std::int8_t, 4>, a1StateCount> kA1Moves { {
    /* start           */ { a1RowDigits, a1Letter1, a1StartDollar, kFail },
    /* start-$         */ { a1AbsoluteRowDigits, a1AbsoluteLetter1, kFail, kFail },
    /* letter 1        */ { a1RowDigits, a1Letter2, a1RowDollar, kAccept },
    /* absolute l. 1   */ { a1RowDigits, a1Letter2, a1RowDollar, kAccept },
    /* letter 2        */ { a1RowDigits, a1Letter3, a1RowDollar, kAccept },
    /* letter 3        */ { a1RowDigits, kFail, a1RowDollar, kAccept },
    /* row-$           */ { a1AbsoluteRowDigits, kFail, kFail, kAccept },
    /* absolute digits */ { a1AbsoluteRowDigits, kFail, kFail, kAccept },
    /* row digits      */ { a1RowDigits, kFail, kFail, kAccept },
} };

int A1CharClass(QChar c)
{
    if (IsDigit(c))
        return 0;
    if (IsUpperLetter(c))
        return 1;
    return c == u'$' ? 2 : 3;
}

// R1C1 reader. Character classes: digit, "R", "C", "+", "-", "[", "]", other letter, terminator.
enum R1C1State : std::int8_t {
    rcStart,
    rcAfterR,
    rcRDigits,
    rcRBracket,
    rcRSign,
    rcROffset,
    rcRClosed,
    rcAfterC,
    rcCDigits,
    rcCBracket,
    rcCSign,
    rcCOffset,
    rcCClosed,
    rcStateCount
};

constexpr std::array<std::array<std::int8_t, 9>, rcStateCount> kR1C1Moves { {
    //                digit       R        C          +          -          [           ]          letter term
    /* start     */ { kFail, rcAfterR, rcAfterC, kFail, kFail, kFail, kFail, kFail, kFail },
    /* after-R   */ { rcRDigits, kFail, rcAfterC, kAccept, kAccept, rcRBracket, kFail, kFail, kAccept },
    /* R digits  */ { rcRDigits, kFail, rcAfterC, kAccept, kAccept, kFail, kFail, kFail, kAccept },
    /* R-bracket */ { rcROffset, kFail, kFail, rcROffset, rcRSign, kFail, rcRClosed, kFail, kFail },
    /* R sign    */ { rcROffset, kFail, kFail, kFail, kFail, kFail, rcRClosed, kFail, kFail },
    /* R offset  */ { rcROffset, kFail, kFail, kFail, kFail, kFail, rcRClosed, kFail, kFail },
    /* R-closed  */ { kFail, kFail, rcAfterC, kAccept, kAccept, kFail, kFail, kFail, kAccept },
    /* after-C   */ { rcCDigits, kFail, kFail, kAccept, kAccept, rcCBracket, kFail, kFail, kAccept },
    /* C digits  */ { rcCDigits, kFail, kFail, kAccept, kAccept, kFail, kFail, kFail, kAccept },
    /* C-bracket */ { rcCOffset, kFail, kFail, rcCOffset, rcCSign, kFail, rcCClosed, kFail, kFail },
    /* C sign    */ { rcCOffset, kFail, kFail, kFail, kFail, kFail, rcCClosed, kFail, kFail },
    /* C offset  */ { rcCOffset, kFail, kFail, kFail, kFail, kFail, rcCClosed, kFail, kFail },
    /* C-closed  */ { kFail, kFail, kFail, kAccept, kAccept, kFail, kFail, kFail, kAccept },
} };

int R1C1CharClass(QChar c)
{
    if (IsDigit(c))
        return 0;
    switch (c.unicode()) {
    case u'R':
        return 1;
    case u'C':
        return 2;
    case u'+':
        return 3;
    case u'-':
        return 4;
    case u'[':
        return 5;
    case u']':
        return 6;
    default:
        return c.isLetter() ? 7 : 8;
    }
}

// What the R1C1 reader gathers for the row or for the column.
struct R1C1Part {
    bool present = false;
    bool absolute = false;
    bool negative = false;
    int number = 0;

    SpreadSheetReference ToReference() const
    {
        if (!present)
            return SpreadSheetReference::AllItems();
        return absolute ? SpreadSheetReference::Create(number - 1, true)
                        : SpreadSheetReference::Create(negative ? -number : number, false);
    }
};

// Text end and positions past `finishPos` read as a terminator.
QChar CharAt(QStringView text, int pos, int finishPos)
{
    return pos <= finishPos && pos < text.size() ? text[pos] : QChar(u'\0');
}

// A target that was deleted or lies before the grid prints as the reference error.
bool IsInError(const SpreadSheetReference& row, const SpreadSheetReference& column, int rowOrigin, int columnOrigin)
{
    return row.ActualValue(rowOrigin) < 0 || column.ActualValue(columnOrigin) < 0;
}

bool IsInGrid(int index, int maxIndex) { return (index >= 0 && index <= maxIndex) || index == kWholeLineIndex; }

// The whole text as one reference, read with origin 0.
std::optional<SpreadSheetCellReference> ParseWhole(const QString& upCaseText, bool r1c1ReferenceStyle)
{
    SpreadSheetCellReference cell;
    int pos = 0;
    const int finishPos = static_cast<int>(upCaseText.size()) - 1;
    if (!SpreadSheetReferenceParser::Parse(upCaseText, pos, finishPos, cell.row, cell.column, r1c1ReferenceStyle)
        || pos != finishPos + 1)
        return std::nullopt;
    return cell;
}

// A component of an area given as indexes: absolute when the origin is negative.
SpreadSheetReference AreaComponent(int index, int origin, bool wholeLine)
{
    SpreadSheetReference result = SpreadSheetReference::Create(index, origin, kWholeLineIndex);
    result.SetIsAllItems(wholeLine);
    return result;
}

// Moves the owner cell along with the band when asked to.
int MovedOrigin(int origin, int index1, int shift, bool moveOrigin)
{
    return moveOrigin && origin >= index1 ? origin + shift : origin;
}

} // namespace

// SpreadSheetReference

SpreadSheetReference SpreadSheetReference::Create(int index, bool isAbsolute)
{
    SpreadSheetReference result;
    result.SetOffset(index);
    result.SetIsAbsolute(isAbsolute);
    return result;
}

SpreadSheetReference SpreadSheetReference::Create(int index, int origin, int maxIndex)
{
    SpreadSheetReference result;
    if (origin < 0)
        result = Create(index, true);
    else
        result = Create(ClampToInt(std::int64_t { index } - origin), false);
    if (result.Offset() >= maxIndex)
        result.SetIsAllItems(true);
    return result;
}

SpreadSheetReference SpreadSheetReference::AllItems()
{
    SpreadSheetReference result;
    result.SetIsAllItems(true);
    return result;
}

SpreadSheetReference SpreadSheetReference::Invalid()
{
    SpreadSheetReference result;
    result.offset_ = std::numeric_limits<std::int32_t>::min();
    return result;
}

void SpreadSheetReference::SetOffset(int value)
{
    offset_ = value;
    SetIsAllItems(value == kWholeLineIndex);
}

int SpreadSheetReference::ActualValue(int origin) const
{
    if (IsError())
        return kErrorIndex;
    if (IsAllItems())
        return kWholeLineIndex;
    return IsAbsolute() ? offset_ : ClampToInt(std::int64_t { origin } + offset_);
}

void SpreadSheetReference::SetActualValue(int origin, int value)
{
    const bool wasError = IsError();
    SetOffset(IsAbsolute() ? value : ClampToInt(std::int64_t { value } - origin));
    SetIsError(wasError || ActualValue(origin) < 0);
}

void SpreadSheetReference::Move(int delta)
{
    if (!IsAbsolute() && !IsError() && !IsAllItems())
        offset_ = ClampToInt(std::int64_t { offset_ } + delta);
}

void SpreadSheetReference::Reset() { *this = SpreadSheetReference(); }

bool SpreadSheetReference::UpdateReference(
    int origin, int index1, int index2, int newIndex1, bool moveReference, bool moveOrigin)
{
    if (IsError() || IsAllItems() || index1 == newIndex1)
        return false;
    const bool deletion = newIndex1 < 0;
    const int count = deletion ? index2 - index1 + 1 : newIndex1 - index1;
    const int newOrigin = MovedOrigin(origin, index1, deletion ? -count : count, moveOrigin);

    int value = ActualValue(origin);
    bool deleted = false;
    if (moveReference) {
        if (deletion) {
            deleted = value >= index1 && value <= index2;
            if (value > index2)
                value -= count;
            else if (deleted)
                value = index1;
        } else if (value >= index1) {
            value += count;
        }
    }
    const SpreadSheetReference before = *this;
    SetActualValue(newOrigin, value);
    if (deleted)
        SetIsError(true);
    return *this != before;
}

bool SpreadSheetReference::UpdateAreaReference(
    SpreadSheetReference& last, int origin, int index1, int index2, int newIndex1, bool moveReference, bool moveOrigin)
{
    if (IsError() || IsAllItems() || last.IsError() || last.IsAllItems() || index1 == newIndex1)
        return false;
    const bool deletion = newIndex1 < 0;
    const int count = deletion ? index2 - index1 + 1 : newIndex1 - index1;
    const int newOrigin = MovedOrigin(origin, index1, deletion ? -count : count, moveOrigin);

    int start = ActualValue(origin);
    int end = last.ActualValue(origin);
    bool deleted = false;
    if (moveReference) {
        if (deletion) {
            deleted = start >= index1 && end <= index2;
            if (start > index2)
                start -= count;
            else if (start >= index1)
                start = index1;
            // The end keeps the last surviving line of the area.
            if (end >= index2)
                end -= count;
            else if (end >= index1)
                end = index1 - 1;
        } else {
            if (start >= index1)
                start += count;
            if (end >= index1)
                end += count;
        }
    }
    const SpreadSheetReference beforeFirst = *this;
    const SpreadSheetReference beforeLast = last;
    SetActualValue(newOrigin, start);
    last.SetActualValue(newOrigin, end);
    const bool error = deleted || IsError() || last.IsError() || end < start;
    SetIsError(error);
    last.SetIsError(error);
    return *this != beforeFirst || last != beforeLast;
}

// SpreadSheetColumnReferences

QString SpreadSheetColumnReferences::NameByIndex(int index, bool r1c1ReferenceStyle)
{
    if (r1c1ReferenceStyle)
        return QString::number(std::int64_t { index } + 1);
    if (index < 0)
        return QString();
    QString result = index > 25 ? NameByIndex(index / 26 - 1) : QString();
    result += QChar(u'A' + index % 26);
    return result;
}

bool SpreadSheetColumnReferences::TryIndexByName(const QString& name, int& index, bool r1c1ReferenceStyle)
{
    if (r1c1ReferenceStyle) {
        // Mirrors NameByIndex: the 1-based column number.
        int number = 0;
        if (name.isEmpty() || name.size() > 5 || !std::all_of(name.begin(), name.end(), IsDigit))
            return false;
        for (const QChar c : name)
            AppendDigit(number, c);
        if (number < 1 || number > kMaxColumnIndex + 1)
            return false;
        index = number - 1;
        return true;
    }
    const std::optional<SpreadSheetCellReference> cell = ParseWhole(name.toUpper(), false);
    if (!cell || !cell->row.IsAllItems() || cell->column.IsAllItems())
        return false;
    const int column = cell->column.ActualValue(0);
    if (column < 0 || column > kMaxColumnIndex)
        return false;
    index = column;
    return true;
}

int SpreadSheetColumnReferences::IndexByName(const QString& name, bool r1c1ReferenceStyle)
{
    int index = -1;
    return TryIndexByName(name, index, r1c1ReferenceStyle) ? index : -1;
}

// SpreadSheetReferenceParser

bool SpreadSheetReferenceParser::Parse(QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row,
    SpreadSheetReference& column, bool r1c1ReferenceStyle)
{
    return r1c1ReferenceStyle ? ParseR1C1(upCaseText, startPos, finishPos, row, column)
                              : ParseA1(upCaseText, startPos, finishPos, row, column);
}

bool SpreadSheetReferenceParser::ParseA1(
    QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row, SpreadSheetReference& column)
{
    int rowNumber = 0;
    int columnNumber = 0;
    bool rowPresent = false;
    bool columnPresent = false;
    bool rowAbsolute = false;
    bool columnAbsolute = false;
    int pos = startPos;
    std::int8_t state = a1Start;
    for (;; ++pos) {
        const QChar c = CharAt(upCaseText, pos, finishPos);
        const std::int8_t next = kA1Moves[state][A1CharClass(c)];
        if (next == kFail)
            return false;
        if (next == kAccept)
            break;
        state = next;
        switch (state) {
        case a1Letter1:
        case a1AbsoluteLetter1:
            columnAbsolute = state == a1AbsoluteLetter1;
            [[fallthrough]];
        case a1Letter2:
        case a1Letter3:
            columnNumber = columnNumber * 26 + (c.unicode() - u'A' + 1);
            columnPresent = true;
            break;
        case a1RowDigits:
        case a1AbsoluteRowDigits:
            rowAbsolute = state == a1AbsoluteRowDigits;
            rowPresent = true;
            if (!AppendDigit(rowNumber, c))
                return false;
            break;
        default:
            break;
        }
    }
    row = rowPresent ? SpreadSheetReference::Create(rowNumber - 1, rowAbsolute) : SpreadSheetReference::AllItems();
    column = columnPresent ? SpreadSheetReference::Create(columnNumber - 1, columnAbsolute)
                           : SpreadSheetReference::AllItems();
    startPos = pos;
    return true;
}

bool SpreadSheetReferenceParser::ParseR1C1(
    QStringView upCaseText, int& startPos, int finishPos, SpreadSheetReference& row, SpreadSheetReference& column)
{
    R1C1Part rowPart;
    R1C1Part columnPart;
    int pos = startPos;
    std::int8_t state = rcStart;
    for (;; ++pos) {
        const QChar c = CharAt(upCaseText, pos, finishPos);
        const std::int8_t next = kR1C1Moves[state][R1C1CharClass(c)];
        if (next == kFail)
            return false;
        if (next == kAccept)
            break;
        state = next;
        R1C1Part& part = state >= rcAfterC ? columnPart : rowPart;
        switch (state) {
        case rcAfterR:
        case rcAfterC:
            part.present = true;
            break;
        case rcRDigits:
        case rcCDigits:
            part.absolute = true;
            if (!AppendDigit(part.number, c))
                return false;
            break;
        case rcRSign:
        case rcCSign:
            part.negative = true;
            break;
        case rcROffset:
        case rcCOffset:
            // An explicit "+" adds nothing to the number.
            if (IsDigit(c) && !AppendDigit(part.number, c))
                return false;
            break;
        default:
            break;
        }
    }
    row = rowPart.ToReference();
    column = columnPart.ToReference();
    startPos = pos;
    return true;
}

// SpreadSheetReferenceAsString

void SpreadSheetReferenceAsString::Build(QString& buffer, QStringView prefix, const SpreadSheetReference& row,
    const SpreadSheetReference& column, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle)
{
    buffer += prefix;
    if (IsInError(row, column, rowOrigin, columnOrigin)) {
        buffer += serRefError.Text();
        return;
    }
    if (r1c1ReferenceStyle) {
        const auto appendPart = [&buffer](QChar marker, const SpreadSheetReference& part, int origin) {
            if (part.IsAllItems())
                return;
            buffer += marker;
            if (part.IsAbsolute())
                buffer += QString::number(std::int64_t { part.ActualValue(origin) } + 1);
            else if (part.Offset() != 0)
                buffer += u'[' + QString::number(part.Offset()) + u']';
        };
        appendPart(u'R', row, rowOrigin);
        appendPart(u'C', column, columnOrigin);
        return;
    }
    if (!column.IsAllItems()) {
        if (column.IsAbsolute())
            buffer += u'$';
        buffer += SpreadSheetColumnReferences::NameByIndex(column.ActualValue(columnOrigin));
    }
    if (!row.IsAllItems()) {
        if (row.IsAbsolute())
            buffer += u'$';
        buffer += QString::number(std::int64_t { row.ActualValue(rowOrigin) } + 1);
    }
}

QString SpreadSheetReferenceAsString::Build(QStringView prefix, const SpreadSheetReference& row,
    const SpreadSheetReference& column, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle)
{
    QString result;
    Build(result, prefix, row, column, rowOrigin, columnOrigin, r1c1ReferenceStyle);
    return result;
}

void SpreadSheetReferenceAsString::Build(QString& buffer, QStringView prefix, const SpreadSheetArea& area,
    int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle)
{
    if (area.top == area.bottom && area.left == area.right) {
        Build(buffer, prefix, AreaComponent(area.top, rowOrigin, area.top == kWholeLineIndex),
            AreaComponent(area.left, columnOrigin, area.left == kWholeLineIndex), rowOrigin, columnOrigin,
            r1c1ReferenceStyle);
        return;
    }
    // A line counts as whole when the area runs from its first to its last index (or the sentinel);
    // the entire sheet has no whole-line spelling of its own and is written corner to corner.
    bool everyRow = area.top == 0 && area.bottom >= kMaxRowIndex;
    bool everyColumn = area.left == 0 && area.right >= kMaxColumnIndex;
    if (everyRow && everyColumn)
        everyRow = everyColumn = false;
    BuildArea(buffer, prefix, AreaComponent(area.top, rowOrigin, everyRow),
        AreaComponent(area.left, columnOrigin, everyColumn), QStringView(),
        AreaComponent(std::min(area.bottom, kMaxRowIndex), rowOrigin, everyRow),
        AreaComponent(std::min(area.right, kMaxColumnIndex), columnOrigin, everyColumn), rowOrigin, columnOrigin,
        r1c1ReferenceStyle);
}

void SpreadSheetReferenceAsString::BuildArea(QString& buffer, QStringView prefix1, const SpreadSheetReference& row1,
    const SpreadSheetReference& column1, QStringView prefix2, const SpreadSheetReference& row2,
    const SpreadSheetReference& column2, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle)
{
    const bool samePrefix = prefix2.isEmpty() || prefix2 == prefix1;
    const bool sameCorners = row1 == row2 && column1 == column2;
    // An area whose both ends were deleted is one "#REF!", not two.
    const bool bothInError
        = IsInError(row1, column1, rowOrigin, columnOrigin) && IsInError(row2, column2, rowOrigin, columnOrigin);
    if (samePrefix && ((r1c1ReferenceStyle && sameCorners) || bothInError)) {
        Build(buffer, prefix1, row1, column1, rowOrigin, columnOrigin, r1c1ReferenceStyle);
        return;
    }
    Build(buffer, prefix1, row1, column1, rowOrigin, columnOrigin, r1c1ReferenceStyle);
    buffer += u':';
    Build(buffer, prefix2, row2, column2, rowOrigin, columnOrigin, r1c1ReferenceStyle);
}

QString SpreadSheetReferenceAsString::BuildArea(QStringView prefix1, const SpreadSheetReference& row1,
    const SpreadSheetReference& column1, QStringView prefix2, const SpreadSheetReference& row2,
    const SpreadSheetReference& column2, int rowOrigin, int columnOrigin, bool r1c1ReferenceStyle)
{
    QString result;
    BuildArea(result, prefix1, row1, column1, prefix2, row2, column2, rowOrigin, columnOrigin, r1c1ReferenceStyle);
    return result;
}

QString SpreadSheetReferenceAsString::BuildViewReference(const ISpreadSheetViewCaption* view)
{
    if (view == nullptr)
        return QString();
    return BuildViewReference(view->GetCaption(), view->GetIsCaptionTextDelimited() ? bTrue : bFalse);
}

QString SpreadSheetReferenceAsString::BuildViewReference(const QString& viewName, DefaultBoolean isDelimited)
{
    if (viewName.isEmpty())
        return QString();
    if (isDelimited == bFalse)
        return viewName + u'!';
    return u'\'' + viewName + QStringLiteral("'!");
}

bool SpreadSheetReferenceAsString::CheckIfViewNameMustBeEscaped(QStringView name, QStringView breakChars)
{
    return std::any_of(name.begin(), name.end(), [breakChars](QChar c) { return breakChars.contains(c); });
}

bool SpreadSheetReferenceAsString::IsCaptionTextDelimited(
    QStringView caption, const SpreadSheetFormatSettings& settings)
{
    return CheckIfViewNameMustBeEscaped(caption, settings.BreakChars())
        || caption.contains(settings.DecimalSeparator());
}

// Conversions of whole texts

bool TryParseCellReference(const QString& text, bool r1c1ReferenceStyle, int& row, int& column)
{
    const std::optional<SpreadSheetCellReference> cell = ParseWhole(text.toUpper(), r1c1ReferenceStyle);
    if (!cell)
        return false;
    const int actualRow = cell->row.ActualValue(0);
    const int actualColumn = cell->column.ActualValue(0);
    if (!IsInGrid(actualRow, kMaxRowIndex) || !IsInGrid(actualColumn, kMaxColumnIndex))
        return false;
    row = actualRow;
    column = actualColumn;
    return true;
}

void ParseCellReference(const QString& text, bool r1c1ReferenceStyle, int& row, int& column)
{
    if (!TryParseCellReference(text, r1c1ReferenceStyle, row, column)) {
        row = -1;
        column = -1;
    }
}

bool TryParseAreaReference(const QString& text, bool r1c1ReferenceStyle, SpreadSheetArea& area)
{
    const qsizetype colon = text.indexOf(u':');
    SpreadSheetArea result;
    if (colon < 0) {
        if (!TryParseCellReference(text, r1c1ReferenceStyle, result.top, result.left))
            return false;
        result.bottom = result.top;
        result.right = result.left;
    } else {
        if (!TryParseCellReference(text.left(colon), r1c1ReferenceStyle, result.top, result.left)
            || !TryParseCellReference(text.mid(colon + 1), r1c1ReferenceStyle, result.bottom, result.right))
            return false;
        // Both ends must be cells, or both whole columns, or both whole rows: "A1:C" and "2:B" name nothing.
        if ((result.top == kWholeLineIndex) != (result.bottom == kWholeLineIndex)
            || (result.left == kWholeLineIndex) != (result.right == kWholeLineIndex))
            return false;
        if (result.left == kWholeLineIndex)
            result.left = 0;
        if (result.top == kWholeLineIndex)
            result.top = 0;
    }
    // "B3:A1" names the same cells as "A1:B3".
    if (result.left > result.right)
        std::swap(result.left, result.right);
    if (result.top > result.bottom)
        std::swap(result.top, result.bottom);
    area = result;
    return true;
}

SpreadSheetArea ParseAreaReference(const QString& text, bool r1c1ReferenceStyle)
{
    SpreadSheetArea area;
    return TryParseAreaReference(text, r1c1ReferenceStyle, area) ? area : kInvalidArea;
}

QString AreaToReferenceText(
    const SpreadSheetArea& area, bool r1c1ReferenceStyle, SpreadSheetReferenceTextFlags flags, const QString& sheetName)
{
    const QString prefix
        = (flags & rtfSheetName) != 0 ? SpreadSheetReferenceAsString::BuildViewReference(sheetName, bTrue) : QString();
    // A negative origin makes a component absolute; origin 0 prints relative parts as plain positions.
    const int rowOrigin = (flags & rtfAbsoluteRows) != 0 ? -1 : 0;
    const int columnOrigin = (flags & rtfAbsoluteColumns) != 0 ? -1 : 0;
    QString result;
    SpreadSheetReferenceAsString::Build(result, prefix, area, rowOrigin, columnOrigin, r1c1ReferenceStyle);
    return result;
}

} // namespace quorvel
