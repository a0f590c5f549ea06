#include "model/SpreadSheetCell.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetStyles.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"
#include "model/SpreadSheetTextToValue.h"
#include "model/SpreadSheetValueText.h"
#include "numberformat/SpreadSheetDateTimeFormats.h"

#include <QDateTime>
#include <QScopeGuard>

#include <cmath>

namespace quorvel {

SpreadSheetCell::SpreadSheetCell(SpreadSheetTableRow* row, int column)
    : row_(row)
    , index_(column)
{
}

SpreadSheetCell::~SpreadSheetCell()
{
    ReleaseData();
    if (style_)
        style_->Release();
}

SpreadSheetTableColumn* SpreadSheetCell::Column() const { return View()->Columns().Items(index_); }

SpreadSheetTableView* SpreadSheetCell::View() const { return &row_->View(); }

SpreadSheet* SpreadSheetCell::SpreadSheetOwner() const { return &View()->SpreadSheetOwner(); }

int SpreadSheetCell::RowIndex() const { return row_->Index(); }

bool SpreadSheetCell::HasValue() const
{
    switch (dataType_) {
    case cdtBlank:
    case cdtError:
        return false;
    case cdtString:
        return !data_.string->Value().isEmpty();
    default:
        return true;
    }
}

// Readers

double SpreadSheetCell::AsFloat() const
{
    switch (dataType_) {
    case cdtBoolean:
        return data_.boolean ? 1 : 0;
    case cdtCurrency:
        return static_cast<double>(data_.currency) / 10000.0;
    case cdtFloat:
    case cdtDateTime:
        return data_.number;
    case cdtInteger:
        return data_.integer;
    case cdtFormula: {
        const SpreadSheetCellValue result = FormulaResult();
        switch (result.type) {
        case cdtCurrency:
            return static_cast<double>(result.currency) / 10000.0;
        case cdtFloat:
        case cdtDateTime:
            return result.number;
        case cdtInteger:
            return result.integer;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}

SpreadSheetCellValue SpreadSheetCell::FormulaResult() const
{
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetVariant value = data_.formula->GetValue(&error);
    return ToCellValue(value, error);
}

bool SpreadSheetCell::AsBoolean() const
{
    if (dataType_ == cdtFormula) {
        const SpreadSheetCellValue result = FormulaResult();
        if (result.type == cdtBoolean)
            return result.boolean;
    }
    return dataType_ == cdtBoolean ? data_.boolean : AsFloat() != 0;
}

std::int64_t SpreadSheetCell::AsCurrency() const
{
    if (dataType_ == cdtCurrency)
        return data_.currency;
    const double amount = AsFloat() * 10000.0;
    return std::abs(amount) < 9.2e18 ? std::llround(amount) : 0;
}

double SpreadSheetCell::AsDateTime() const { return AsFloat(); }

SpreadSheetFormulaErrorCode SpreadSheetCell::AsError() const
{
    if (dataType_ == cdtError)
        return data_.error;
    if (dataType_ == cdtFormula) {
        const SpreadSheetCellValue result = FormulaResult();
        return result.type == cdtError ? result.error : ecNone;
    }
    const int code = AsInteger();
    return code >= 0 && code <= static_cast<int>(ecNA) ? static_cast<SpreadSheetFormulaErrorCode>(code) : ecNone;
}

int SpreadSheetCell::AsInteger() const
{
    if (dataType_ == cdtInteger)
        return data_.integer;
    const double value = std::round(AsFloat());
    return std::abs(value) <= 2147483647.0 ? static_cast<int>(value) : 0;
}

SpreadSheetSharedString* SpreadSheetCell::AsSharedString() const
{
    return dataType_ == cdtString ? data_.string : nullptr;
}

QString SpreadSheetCell::AsString() const
{
    if (dataType_ != cdtFormula)
        return ValueAsString(Value());
    return ShowsFormulaText() ? data_.formula->AsText() : ValueAsString(FormulaResult());
}

bool SpreadSheetCell::ShowsFormulaText() const
{
    if (dataType_ != cdtFormula)
        return false;
    const SpreadSheetTableView& view = *View();
    const DefaultBoolean sheetShows = view.Options().ShowFormulas;
    return showFormula_ != bDefault ? showFormula_ == bTrue
        : sheetShows != bDefault    ? sheetShows == bTrue
                                    : view.SpreadSheetOwner().OptionsView().ShowFormulas;
}

QString SpreadSheetCell::ValueAsString(const SpreadSheetCellValue& value) const
{
    const SpreadSheet& book = *SpreadSheetOwner();
    const SpreadSheetFormatHandle* format = StyleHandle()->DataFormat();
    switch (value.type) {
    case cdtBoolean:
        return value.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case cdtError:
        return ErrorCodeToText(value.error);
    case cdtCurrency:
        return CurrencyToText(value.currency, book.SystemFormatSettings().Data);
    case cdtFloat:
        if (format->IsDateTime())
            return DateTimeToText(value.number, book.FormatSettings(), format->IsTime());
        return FloatToText(value.number, book.FormatSettings().Data);
    case cdtDateTime:
        return DateTimeToText(value.number, book.FormatSettings(), format->IsTime());
    case cdtInteger:
        return QString::number(value.integer);
    case cdtString:
        return value.text;
    default:
        return QString();
    }
}

QVariant SpreadSheetCell::AsVariant() const
{
    switch (dataType_) {
    case cdtBoolean:
        return data_.boolean;
    case cdtError:
        return QVariant::fromValue(static_cast<int>(data_.error));
    case cdtCurrency:
        return static_cast<double>(data_.currency) / 10000.0;
    case cdtFloat:
        return data_.number;
    case cdtDateTime:
        return DateTimeFromSerial(data_.number, SpreadSheetOwner()->DateTimeSystem());
    case cdtInteger:
        return data_.integer;
    case cdtString:
        return data_.string->Value();
    case cdtFormula: {
        const SpreadSheetCellValue result = FormulaResult();
        switch (result.type) {
        case cdtBoolean:
            return result.boolean;
        case cdtError:
            return QVariant::fromValue(static_cast<int>(result.error));
        case cdtCurrency:
            return static_cast<double>(result.currency) / 10000.0;
        case cdtFloat:
        case cdtDateTime:
            return result.number;
        case cdtInteger:
            return result.integer;
        case cdtString:
            return result.text;
        default:
            return QVariant();
        }
    }
    default:
        return QVariant();
    }
}

SpreadSheetCellValue SpreadSheetCell::Value() const
{
    SpreadSheetCellValue value;
    value.type = dataType_;
    switch (dataType_) {
    case cdtBoolean:
        value.boolean = data_.boolean;
        break;
    case cdtError:
        value.error = data_.error;
        break;
    case cdtCurrency:
        value.currency = data_.currency;
        break;
    case cdtFloat:
    case cdtDateTime:
        value.number = data_.number;
        break;
    case cdtInteger:
        value.integer = data_.integer;
        break;
    case cdtString:
        value.text = data_.string->Value();
        break;
    case cdtFormula:
        // The history keeps a formula as its text and reads it again on undo.
        value.text = data_.formula->AsText();
        if (data_.formula->IsArrayFormula()) {
            value.arrayColumns = data_.formula->ArrayFormulaSize().ColumnCount;
            value.arrayRows = data_.formula->ArrayFormulaSize().RowCount;
        }
        break;
    default:
        break;
    }
    return value;
}

// Writers

bool SpreadSheetCell::SameValue(const SpreadSheetCellValue& value) const
{
    if (value.type != dataType_)
        return false;
    switch (dataType_) {
    case cdtBlank:
        return true;
    case cdtBoolean:
        return data_.boolean == value.boolean;
    case cdtError:
        return data_.error == value.error;
    case cdtCurrency:
        return data_.currency == value.currency;
    case cdtFloat:
    case cdtDateTime:
        return data_.number == value.number;
    case cdtInteger:
        return data_.integer == value.integer;
    case cdtString:
        return data_.string->Value() == value.text;
    case cdtFormula:
        return false;
    }
    return false;
}

void SpreadSheetCell::ReleaseData()
{
    if (dataType_ == cdtString && data_.string)
        data_.string->Release();
    else if (dataType_ == cdtFormula)
        delete data_.formula;
    dataType_ = cdtBlank;
    data_.currency = 0;
}

void SpreadSheetCell::Assign(const SpreadSheetCellValue& value)
{
    if (value.type == cdtFormula) {
        if (!TrySetFormulaText(value.text)) {
            SetAsString(value.text);
            return;
        }
        if (value.arrayColumns > 0 && value.arrayRows > 0) {
            data_.formula->SetArrayFormulaSize({ value.arrayColumns, value.arrayRows });
            SpreadSheetOwner()->FormulaController().AddArrayFormula(data_.formula);
        }
        return;
    }
    if (SameValue(value))
        return;
    SpreadSheet& book = *SpreadSheetOwner();
    SpreadSheetHistory& history = book.History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeCellCommand>(this));
    const bool wasBlank = dataType_ == cdtBlank;
    // Intern first: the new string may be the one being released.
    SpreadSheetSharedString* string = nullptr;
    if (value.type == cdtString) {
        string = book.StringTable().Add(value.text);
        string->AddRef();
    }
    ReleaseData();
    dataType_ = value.type;
    switch (value.type) {
    case cdtBoolean:
        data_.boolean = value.boolean;
        break;
    case cdtError:
        data_.error = value.error;
        break;
    case cdtCurrency:
        data_.currency = value.currency;
        break;
    case cdtFloat:
    case cdtDateTime:
        data_.number = value.number;
        break;
    case cdtInteger:
        data_.integer = value.integer;
        break;
    case cdtString:
        data_.string = string;
        break;
    default:
        dataType_ = cdtBlank;
        break;
    }
    Changed(wasBlank);
}

void SpreadSheetCell::AssignFormula(std::unique_ptr<SpreadSheetFormula> formula)
{
    SpreadSheetHistory& history = SpreadSheetOwner()->History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeCellCommand>(this));
    const bool wasBlank = dataType_ == cdtBlank;
    ReleaseData();
    dataType_ = cdtFormula;
    data_.formula = formula.release();
    SpreadSheet& book = *SpreadSheetOwner();
    if (!book.OptionsBehavior().AutomaticCalculation && !book.IsLoading())
        book.FormulaController().CalculateFormula(data_.formula);
    Changed(wasBlank);
}

bool SpreadSheetCell::TrySetFormulaText(const QString& text)
{
    std::unique_ptr<SpreadSheetFormula> formula = ParseCellFormula(this, text);
    if (!formula)
        return false;
    AssignFormula(std::move(formula));
    return true;
}

void SpreadSheetCell::SetAsFormula(std::unique_ptr<SpreadSheetFormula> formula)
{
    if (!formula) {
        Clear();
        return;
    }
    AssignFormula(std::move(formula));
}

void SpreadSheetCell::Changed(bool wasBlank)
{
    if (!row_->IsCustomSize())
        row_->SetBestFitIsDirty(true);
    View()->AddChanges(wasBlank && dataType_ == cdtBlank ? sscData : sscData | sscModified);
}

void SpreadSheetCell::SetValue(const SpreadSheetCellValue& value) { Assign(value); }

void SpreadSheetCell::SetAsBoolean(bool value)
{
    SpreadSheetCellValue v;
    v.type = cdtBoolean;
    v.boolean = value;
    Assign(v);
}

void SpreadSheetCell::SetAsCurrency(std::int64_t value)
{
    SpreadSheetCellValue v;
    v.type = cdtCurrency;
    v.currency = value;
    Assign(v);
}

void SpreadSheetCell::SetAsDateTime(double value)
{
    // Serials 1..60 are one day earlier than the plain day count: the 1900 system counts a
    // 29 February 1900 that never was. The 1904 system has no such day.
    SpreadSheetCellValue v;
    v.type = cdtDateTime;
    const bool leapDayRule = SpreadSheetOwner()->DateTimeSystem() == dts1900;
    v.number = !leapDayRule || value < 1 || value > 60 ? value : value - 1;
    Assign(v);
}

void SpreadSheetCell::SetAsError(SpreadSheetFormulaErrorCode value)
{
    SpreadSheetCellValue v;
    v.type = cdtError;
    v.error = value;
    Assign(v);
}

void SpreadSheetCell::SetAsFloat(double value)
{
    SpreadSheetCellValue v;
    v.type = cdtFloat;
    v.number = value;
    Assign(v);
}

void SpreadSheetCell::SetAsInteger(int value)
{
    SpreadSheetCellValue v;
    v.type = cdtInteger;
    v.integer = value;
    Assign(v);
}

void SpreadSheetCell::SetAsSharedString(SpreadSheetSharedString* value)
{
    if (value == nullptr) {
        Clear();
        return;
    }
    SetAsString(value->Value());
}

void SpreadSheetCell::SetAsString(const QString& value)
{
    SpreadSheetCellValue v;
    v.type = cdtString;
    v.text = value;
    Assign(v);
}

void SpreadSheetCell::SetAsVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        Clear();
        break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        SetAsInteger(value.toInt());
        break;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const double number = value.toDouble();
        if (std::abs(number) <= 2147483647.0)
            SetAsInteger(static_cast<int>(value.toLongLong()));
        else
            SetAsFloat(number);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        SetAsFloat(value.toDouble());
        break;
    case QMetaType::Bool:
        SetAsBoolean(value.toBool());
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        SetAsDateTime(SerialFromDateTime(value.toDateTime(), SpreadSheetOwner()->DateTimeSystem()));
        break;
    default:
        SetText(value.toString(), true);
        break;
    }
}

void SpreadSheetCell::Clear()
{
    SpreadSheetCellValue blank;
    if (dataType_ == cdtBlank) {
        View()->AddChanges(sscData);
        return;
    }
    Assign(blank);
}

void SpreadSheetCell::SetText(const QString& text, bool formulaChecking)
{
    SpreadSheetTableView& view = *View();
    SpreadSheet& book = view.SpreadSheetOwner();
    const SpreadSheetFormulaController& formulas = book.FormulaController();
    if (!formulas.UpdatingSlaveCells() && formulas.FindArrayFormula(&view, RowIndex(), index_) != 0)
        throw ESpreadSheetCannotChangePartOfArrayError(sErrorCannotChangePartOfArray.Text());
    view.BeginUpdate();
    const auto end = qScopeGuard([&view] { view.EndUpdate(); });

    SpreadSheetFormulaErrorCode error = ecNone;
    if (TryTextToErrorCode(text, error)) {
        SetAsError(error);
        return;
    }
    if (StyleHandle()->DataFormat()->IsText()) {
        SetAsString(text);
        return;
    }
    SpreadSheetCellValue value;
    if (TextToValue(text, book.FormatSettings(), book.SystemFormatSettings(), value)) {
        switch (value.type) {
        case cdtDateTime:
            SetAsDateTime(value.number);
            ApplyAutomaticFormat(cdtDateTime, data_.number);
            break;
        case cdtCurrency:
            Assign(value);
            ApplyAutomaticFormat(cdtCurrency, 0);
            break;
        case cdtBlank:
            Clear();
            break;
        default:
            Assign(value);
        }
        return;
    }
    if (formulaChecking && text.startsWith(u'=')) {
        // Typing the same formula again changes nothing (undo and redo restore texts exactly).
        if (dataType_ == cdtFormula && !book.History().InProcess() && data_.formula->AsText() == text)
            return;
        if (TrySetFormulaText(text))
            return;
    }
    SetAsString(text);
}

void SpreadSheetCell::ApplyAutomaticFormat(SpreadSheetCellDataType type, double value)
{
    SpreadSheet& book = *SpreadSheetOwner();
    SpreadSheetCellStyles& styles = book.CellStyles();
    SpreadSheetCellStyleHandle* style = StyleHandle();
    SpreadSheetFormatHandle* format = nullptr;
    if (type == cdtCurrency) {
        format = styles.Formats().AddFormatByID(7);
    } else {
        if (style->DataFormat()->IsDateTime())
            return;
        if (value != 0 && value == std::trunc(value))
            format = styles.Formats().AddFormatByID(14);
        else
            format = styles.Formats().AddFormat(DefaultDateTimeFormatCode(value, book.FormatSettings().Data));
    }
    if (format == style->DataFormat())
        return;
    std::unique_ptr<SpreadSheetCellStyleHandle> clone = style->Clone();
    clone->SetDataFormat(format);
    SetStyleHandle(styles.AddStyle(std::move(clone)));
}

QString SpreadSheetCell::Reference() const
{
    return AreaToReferenceText(SpreadSheetArea { index_, RowIndex(), index_, RowIndex() },
        SpreadSheetOwner()->R1C1Reference());
}

SpreadSheetCellStyleHandle* SpreadSheetCell::StyleHandle() const
{
    return style_ ? style_ : SpreadSheetOwner()->CellStyles().DefaultStyle();
}

void SpreadSheetCell::SetStyleHandle(SpreadSheetCellStyleHandle* handle)
{
    SpreadSheetCellStyles& styles = SpreadSheetOwner()->CellStyles();
    if (handle == styles.DefaultStyle())
        handle = nullptr;
    if (style_ == handle)
        return;
    SpreadSheetHistory& history = SpreadSheetOwner()->History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeCellStyleCommand>(this));
    const SpreadSheetHandleRef<SpreadSheetCellStyleHandle> previous(StyleHandle());
    if (handle)
        handle->AddRef();
    if (style_)
        style_->Release();
    style_ = handle;
    ProcessStyleChanged(previous.Get(), StyleHandle());
    View()->AddChanges(sscStyle | sscLayout | sscModified);
}

// Borders are kept consistent between neighbours: a cell's new border becomes the opposite
// border of an existing neighbour. Undo and redo restore each cell from its own record instead.
void SpreadSheetCell::ProcessStyleChanged(SpreadSheetCellStyleHandle* previous, SpreadSheetCellStyleHandle* next)
{
    SpreadSheet& book = *SpreadSheetOwner();
    if (book.IsLoading() || book.History().InProcess())
        return;
    const unsigned borders = DifferingBorders(previous, next);
    if (borders == 0)
        return;
    SpreadSheetTableView& view = *View();
    const int row = RowIndex();
    for (int side = 0; side < 4; ++side) {
        if ((borders & (1u << side)) == 0)
            continue;
        const auto border = static_cast<SpreadSheetBorder>(side);
        const int dr = border == SpreadSheetBorder::bTop ? -1 : border == SpreadSheetBorder::bBottom ? 1 : 0;
        const int dc = border == SpreadSheetBorder::bLeft ? -1 : border == SpreadSheetBorder::bRight ? 1 : 0;
        SpreadSheetCell* neighbour = view.GetCell(row + dr, index_ + dc);
        if (neighbour == nullptr)
            continue;
        neighbour->SetStyleHandle(SetStyleBorder(book.CellStyles(), neighbour->StyleHandle(), OppositeBorder(border),
            next->Borders()->Color(border), next->Borders()->Style(border)));
    }
}

void SpreadSheetCell::MoveTo(int row, int column)
{
    row = std::clamp(row, 0, kMaxRowIndex);
    column = std::clamp(column, 0, kMaxColumnIndex);
    if (row == RowIndex() && column == index_)
        return;
    SpreadSheetTableView& view = *View();
    if (view.GetCell(row, column) != nullptr)
        throw ESpreadSheetError(sErrorCellAlreadyExists.Format({ QString::number(column) }));
    row_->cells_->Remove(this);
    SpreadSheetTableRow* target = view.Rows().CreateItem(row);
    view.Columns().CreateItem(column);
    row_ = target;
    index_ = column;
    target->cells_->Insert(this);
    view.AddChanges(sscData | sscStyle | sscDimension | sscModified);
}

} // namespace quorvel
