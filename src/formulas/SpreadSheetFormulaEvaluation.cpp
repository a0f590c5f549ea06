// Evaluation of the token classes: what each token pushes onto the evaluation stack, how
// operations combine values (scalars, implicit intersection, arrays), how references read cells
// and how function calls are made, lifted over arrays and cached within a calculation pass.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetFormulaValues.h"
#include "formulas/SpreadSheetVector.h"
#include "functions/SpreadSheetFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvel {

namespace {

/// Divisors at or below the smallest normal double divide by zero.
constexpr double kMinDivisor = 2.2250738585072014E-308;
/// Most items an array result may hold; a larger one is a failure of the evaluation, not a
/// reason to exhaust memory.
constexpr std::int64_t kMaxArrayItems = std::int64_t { 1 } << 21;

bool isReference(const SpreadSheetFormulaToken* token) { return IsReferenceKind(token->Kind()); }

int anchorRow(const SpreadSheetCustomFormula* formula) { return formula ? formula->AnchorRow() : 0; }
int anchorColumn(const SpreadSheetCustomFormula* formula) { return formula ? formula->AnchorColumn() : 0; }

void readCell(const SpreadSheetFormulaToken* token, SpreadSheetTableView* view, int row, int column,
    SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    SpreadSheetFormulaController* controller = token->Owner() ? token->Owner()->Controller() : nullptr;
    if (!controller || !view) {
        value = {};
        error = ecRefErr;
        return;
    }
    controller->ReadCellValue(view, row, column, value, error);
}

/// The value of an item holder of an array: its single value token, or its chain evaluated.
void readItem(const SpreadSheetFormulaToken* holder, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    error = ecNone;
    SpreadSheetFormulaToken* chain = holder ? holder->ChildFirst() : nullptr;
    if (!chain) {
        error = holder ? ecNone : ecNA;
        return;
    }
    if (!chain->Next() && chain->Kind() != tkOperation && chain->Kind() != tkFunction) {
        chain->GetValue(value, error);
        return;
    }
    SpreadSheetFormulaResult item(chain->Owner());
    item.Calculate(chain);
    if (!item.Validate())
        error = item.ErrorCode();
    else if (SpreadSheetFormulaToken* top = item.LastItem())
        top->GetValue(value, error);
}

/// Moves (row, column) onto an item of an operand of `size`: an axis of size 1 repeats its only
/// item; false beyond any other size.
bool arrayItemPosition(const SpreadSheetFormulaTokenDimension& size, int& row, int& column)
{
    if (row >= size.RowCount && size.RowCount == 1)
        row = 0;
    if (column >= size.ColumnCount && size.ColumnCount == 1)
        column = 0;
    return row >= 0 && column >= 0 && row < size.RowCount && column < size.ColumnCount;
}

std::size_t itemIndex(const SpreadSheetFormulaTokenDimension& size, int row, int column)
{
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(size.ColumnCount) + static_cast<std::size_t>(column);
}

/// The array a calculation produces. It stands where an array constant would and answers the same
/// questions, but keeps its items by value: a whole-column result holds a million of them.
class SpreadSheetFormulaArrayResultToken final : public SpreadSheetListToken {
public:
    explicit SpreadSheetFormulaArrayResultToken(const SpreadSheetFormulaTokenDimension& size)
        : SpreadSheetListToken(tkArray)
        , size_(size)
    {
        items_.reserve(static_cast<std::size_t>(size.RowCount) * static_cast<std::size_t>(size.ColumnCount));
    }
    void Add(SpreadSheetVariant value, SpreadSheetFormulaErrorCode error) { items_.push_back({ std::move(value), error }); }

    void Calculate(SpreadSheetFormulaResult& result) override { result.Add(this); }
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override
    {
        GetValueAsArrayItem(0, 0, value, error);
    }
    void GetValueAsArrayItem(int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override
    {
        if (!arrayItemPosition(size_, row, column) || itemIndex(size_, row, column) >= items_.size()) {
            value = {};
            error = ecNA;
            return;
        }
        const SpreadSheetVectorValue& item = items_[itemIndex(size_, row, column)];
        value = item.Value;
        error = item.ErrorCode;
    }
    SpreadSheetFormulaTokenDimension GetDimension(SpreadSheetFormulaErrorCode&) override { return size_; }
    bool CanConvertStrToNumber() const override { return false; }

private:
    SpreadSheetFormulaTokenDimension size_;
    std::vector<SpreadSheetVectorValue> items_;
};

/// An array of rows x columns whose items `itemAt`(row, column, value, error) gives.
template <class ItemAt>
std::unique_ptr<SpreadSheetFormulaToken> makeArray(
    SpreadSheetCustomFormula* owner, const SpreadSheetFormulaTokenDimension& size, const ItemAt& itemAt)
{
    auto array = std::make_unique<SpreadSheetFormulaArrayResultToken>(size);
    SpreadSheetVariant value;
    for (int row = 0; row < size.RowCount; ++row) {
        for (int column = 0; column < size.ColumnCount; ++column) {
            SpreadSheetFormulaErrorCode error = ecNone;
            itemAt(row, column, value, error);
            array->Add(error == ecNone ? value : SpreadSheetVariant(), error);
        }
    }
    array->SetOwnerOfChain(owner);
    return array;
}

/// The larger extent along each axis; false (with "#NUM!") when the result would be too large.
bool unionSize(SpreadSheetFormulaTokenDimension& size, const SpreadSheetFormulaTokenDimension& other,
    SpreadSheetFormulaErrorCode& error)
{
    size.RowCount = std::max(size.RowCount, other.RowCount);
    size.ColumnCount = std::max(size.ColumnCount, other.ColumnCount);
    if (std::int64_t { size.RowCount } * size.ColumnCount > kMaxArrayItems) {
        error = ecNUM;
        return false;
    }
    return true;
}

bool isArithmetic(SpreadSheetFormulaOperation operation)
{
    switch (operation) {
    case opAdd:
    case opSub:
    case opMul:
    case opDiv:
    case opPower:
    case opUplus:
    case opUminus:
    case opPercent:
        return true;
    default:
        return false;
    }
}

SpreadSheetFormulaErrorCode arithmetic(SpreadSheetFormulaOperation operation, const SpreadSheetVariant& left,
    const SpreadSheetVariant& right, const SpreadSheetFormatSettings& settings, SpreadSheetVariant& result)
{
    double a = 0;
    double b = 0;
    const bool unary = operation == opUplus || operation == opUminus || operation == opPercent;
    if ((!unary && ConvertValueToNumeric(left, settings, true, false, a) != ecNone)
        || ConvertValueToNumeric(right, settings, true, false, b) != ecNone)
        return ecValue;
    double value = 0;
    switch (operation) {
    case opAdd:
        value = a + b;
        break;
    case opSub:
        value = a - b;
        break;
    case opMul:
        value = a * b;
        break;
    case opDiv:
        if (std::abs(b) <= kMinDivisor)
            return ecDivByZero;
        value = a / b;
        break;
    case opPower:
        if (a == 0 && b == 0)
            return ecNUM;
        value = std::pow(a, b);
        break;
    case opUplus:
        value = b;
        break;
    case opUminus:
        value = -b + 0.0;
        break;
    default: // opPercent
        value = b / 100;
        break;
    }
    if (!std::isfinite(value))
        return ecNUM;
    result = SpreadSheetVariant::FromFloat(value);
    return ecNone;
}

bool comparison(SpreadSheetFormulaOperation operation, int order)
{
    switch (operation) {
    case opLT:
        return order < 0;
    case opLE:
        return order <= 0;
    case opEQ:
        return order == 0;
    case opGE:
        return order >= 0;
    case opGT:
        return order > 0;
    default: // opNE
        return order != 0;
    }
}

/// One operation on two values already read; `right` is the only operand of a unary operation.
SpreadSheetFormulaErrorCode applyOperation(SpreadSheetFormulaOperation operation, const SpreadSheetVariant& left,
    SpreadSheetFormulaErrorCode leftError, const SpreadSheetVariant& right, SpreadSheetFormulaErrorCode rightError,
    const SpreadSheetFormatSettings& settings, SpreadSheetVariant& result)
{
    if (leftError != ecNone)
        return leftError;
    if (rightError != ecNone)
        return rightError;
    if (isArithmetic(operation)) {
        if ((operation == opAdd || operation == opSub || operation == opMul) && left.IsEmpty() && right.IsEmpty()) {
            result = SpreadSheetVariant::FromFloat(0);
            return ecNone;
        }
        return arithmetic(operation, left, right, settings, result);
    }
    if (operation == opConcat) {
        result = SpreadSheetVariant::FromText(FormulaValueToText(left, settings) + FormulaValueToText(right, settings));
        return ecNone;
    }
    result = SpreadSheetVariant::FromBoolean(comparison(operation, CompareFormulaValues(left, right, settings)));
    return ecNone;
}

/// Intersection, union and range of two references, as a new absolute reference.
void calculateReferenceOperation(SpreadSheetFormulaOperation operation, SpreadSheetFormulaResult& result)
{
    if (result.Count() < 2) {
        result.SetError(ecValue);
        return;
    }
    SpreadSheetFormulaToken* rightToken = result.Item(result.Count() - 1);
    SpreadSheetFormulaToken* leftToken = result.Item(result.Count() - 2);
    if (!isReference(leftToken) || !isReference(rightToken)) {
        result.SetError(ecRefErr);
        return;
    }
    const auto* left = static_cast<SpreadSheetFormulaReferenceToken*>(leftToken);
    const auto* right = static_cast<SpreadSheetFormulaReferenceToken*>(rightToken);
    SpreadSheetArea a;
    SpreadSheetArea b;
    SpreadSheetTableView* view = left->TargetView() ? left->TargetView() : right->TargetView();
    if (!view && result.Owner())
        view = result.Owner()->View();
    if (!left->GetArea(a) || !right->GetArea(b) || !view) {
        result.SetError(ecRefErr);
        return;
    }
    SpreadSheetArea area;
    switch (operation) {
    case opIsect:
        area = { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom) };
        if (area.left > area.right || area.top > area.bottom) {
            result.SetError(ecNull);
            return;
        }
        break;
    case opUnion:
        area = { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom) };
        break;
    default: // opRange: from the left one's first corner to the right one's last corner
        area = { std::min(a.left, b.right), std::min(a.top, b.bottom), std::max(a.left, b.right),
            std::max(a.top, b.bottom) };
        break;
    }
    result.Delete(result.Count() - 1);
    result.Delete(result.Count() - 1);
    auto reference = std::make_unique<SpreadSheetFormula3DAreaReferenceToken>(
        SpreadSheetReference::Create(area.top, true), SpreadSheetReference::Create(area.left, true),
        SpreadSheetReference::Create(area.bottom, true), SpreadSheetReference::Create(area.right, true),
        std::make_unique<SpreadSheet3DReferenceLink>(view));
    reference->SetOwnerOfChain(result.Owner());
    result.AddTemporary(std::move(reference));
}

/// True when evaluating `chain` may give an array: it holds an array constant, a call of an
/// array function, or (in an array formula) a reference.
bool mayGiveArray(const SpreadSheetFormulaToken* chain, bool isArrayFormula)
{
    for (const SpreadSheetFormulaToken* token = chain; token; token = token->Next()) {
        if (token->Kind() == tkArray || (isArrayFormula && isReference(token)))
            return true;
        if (token->Kind() == tkFunction) {
            const SpreadSheetFunctionInfo* information
                = static_cast<const SpreadSheetFormulaFunctionToken*>(token)->Information();
            const SpreadSheetFunctionResultKind kind = information ? information->ResultKind() : frkValue;
            if (kind == frkArray)
                return true;
            if (kind == frkNonArrayValue)
                continue; // aggregates consume their arrays
        }
        if (mayGiveArray(token->ChildFirst(), isArrayFormula))
            return true;
    }
    return false;
}

bool isValueKind(std::uint8_t kind)
{
    const auto paramKind = static_cast<SpreadSheetFunctionParamKind>(kind);
    return paramKind == fpkValue || paramKind == fpkNonRequiredValue;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Formula
// ---------------------------------------------------------------------------------------------

void SpreadSheetCustomFormula::Evaluate(SpreadSheetFormulaResult& result)
{
    if (!Tokens()) {
        if (ErrorCode() != ecNone)
            result.SetError(ErrorCode());
        return;
    }
    result.Calculate(Tokens());
}

// ---------------------------------------------------------------------------------------------
// Base token and holders
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaToken::Calculate(SpreadSheetFormulaResult& result) { result.Calculate(ChildFirst()); }

void SpreadSheetFormulaToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    if (Kind() == tkHolder) {
        readItem(this, value, error);
        return;
    }
    value = {};
    error = ecValue;
}

void SpreadSheetFormulaToken::GetValueRelatedWithCell(
    int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}

void SpreadSheetFormulaToken::GetValueAsArrayItem(int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}

SpreadSheetFormulaTokenDimension SpreadSheetFormulaToken::GetDimension(SpreadSheetFormulaErrorCode&) { return {}; }

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaToken::ExtractColumn(int index, SpreadSheetFormulaErrorCode& error)
{
    const SpreadSheetFormulaTokenDimension size = GetDimension(error);
    auto vector = std::make_unique<SpreadSheetSimpleVector>();
    vector->Reserve(size.RowCount);
    for (int row = 0; row < size.RowCount; ++row) {
        SpreadSheetVectorValue item;
        GetValueAsArrayItem(row, index, item.Value, item.ErrorCode);
        vector->Add(std::move(item));
    }
    return vector;
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaToken::ExtractRow(int index, SpreadSheetFormulaErrorCode& error)
{
    const SpreadSheetFormulaTokenDimension size = GetDimension(error);
    auto vector = std::make_unique<SpreadSheetSimpleVector>();
    vector->Reserve(size.ColumnCount);
    for (int column = 0; column < size.ColumnCount; ++column) {
        SpreadSheetVectorValue item;
        GetValueAsArrayItem(index, column, item.Value, item.ErrorCode);
        vector->Add(std::move(item));
    }
    return vector;
}

// ---------------------------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaNullToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaNullToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromInteger(0);
    error = ecNone;
}

void SpreadSheetFormulaStringValueToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaStringValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromText(value_);
    error = ecNone;
}

void SpreadSheetFormulaVariantToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaVariantToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = value_;
    error = ecNone;
}

void SpreadSheetFormulaBooleanValueToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaBooleanValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromBoolean(value_);
    error = ecNone;
}

void SpreadSheetFormulaNumericValueToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaIntegerValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromInteger(value_);
    error = ecNone;
}

void SpreadSheetFormulaFloatValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromFloat(value_);
    error = ecNone;
}

void SpreadSheetFormulaDateTimeValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromDateTime(value_);
    error = ecNone;
}

void SpreadSheetFormulaCurrencyValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = SpreadSheetVariant::FromCurrency(value_);
    error = ecNone;
}

void SpreadSheetFormulaErrorValueToken::Calculate(SpreadSheetFormulaResult& result) { result.SetError(errorCode_); }

void SpreadSheetFormulaErrorValueToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    error = errorCode_;
}

// Defined names are not kept by the workbook yet: every name is unknown.
void SpreadSheetFormulaDefinedNameToken::Calculate(SpreadSheetFormulaResult& result) { result.SetError(ecName); }

void SpreadSheetFormulaUnknownToken::Calculate(SpreadSheetFormulaResult& result) { result.SetError(ecName); }

void SpreadSheetFormulaParenthesesToken::Calculate(SpreadSheetFormulaResult& result)
{
    // The inner chain only pushes onto the stack above what is there, so it needs no result of
    // its own: its values and its error end up where a separate result would merge them.
    result.Calculate(ChildFirst());
}

void SpreadSheetListToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

// ---------------------------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaArrayToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaArrayToken::IndexItems()
{
    if (isDimensionCalculated_)
        return;
    int rows = ChildFirst() ? 1 : 0;
    int columns = 0;
    int column = 0;
    for (const SpreadSheetFormulaToken* child = ChildFirst(); child; child = child->Next()) {
        if (child->Kind() == tkArrayRowSeparator) {
            ++rows;
            column = 0;
        } else {
            columns = std::max(columns, ++column);
        }
    }
    items_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), nullptr);
    std::size_t rowStart = 0;
    std::size_t index = 0;
    for (SpreadSheetFormulaToken* child = ChildFirst(); child; child = child->Next()) {
        if (child->Kind() == tkArrayRowSeparator) {
            rowStart += static_cast<std::size_t>(columns);
            index = rowStart;
        } else {
            items_[index++] = child;
        }
    }
    dimension_ = { columns > 0 ? rows : 0, columns };
    isDimensionCalculated_ = true;
}

SpreadSheetFormulaTokenDimension SpreadSheetFormulaArrayToken::GetDimension(SpreadSheetFormulaErrorCode& error)
{
    IndexItems();
    if (dimension_.RowCount == 0)
        error = ecValue;
    return dimension_;
}

void SpreadSheetFormulaArrayToken::GetValueAsArrayItem(
    int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    IndexItems();
    if (!arrayItemPosition(dimension_, row, column)) {
        value = {};
        error = ecNA;
        return;
    }
    readItem(items_[itemIndex(dimension_, row, column)], value, error);
}

void SpreadSheetFormulaArrayToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValueAsArrayItem(0, 0, value, error);
}

// ---------------------------------------------------------------------------------------------
// References
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaReferenceToken::Calculate(SpreadSheetFormulaResult& result) { result.Add(this); }

void SpreadSheetFormulaReferenceToken::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValueRelatedWithCell(anchorRow(Owner()), anchorColumn(Owner()), value, error);
}

void SpreadSheetFormulaReferenceToken::GetValueRelatedWithCell(
    int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    SpreadSheetArea area;
    SpreadSheetTableView* view = TargetView();
    if (!GetArea(area) || !view) {
        error = ecRefErr;
        return;
    }
    const bool oneRow = area.top == area.bottom;
    const bool oneColumn = area.left == area.right;
    // Implicit intersection: a line of cells gives the one in the cell's row or column.
    const bool inArrayFormula = Owner() && Owner()->IsArrayFormula();
    if (!oneRow && !oneColumn) {
        error = ecValue;
        return;
    }
    int targetRow = area.top;
    int targetColumn = area.left;
    if (!oneRow) {
        if (row >= area.top && row <= area.bottom)
            targetRow = row;
        else if (!inArrayFormula) {
            error = ecValue;
            return;
        }
    }
    if (!oneColumn) {
        if (column >= area.left && column <= area.right)
            targetColumn = column;
        else if (!inArrayFormula) {
            error = ecValue;
            return;
        }
    }
    readCell(this, view, targetRow, targetColumn, value, error);
}

void SpreadSheetFormulaReferenceToken::GetValueAsArrayItem(
    int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    SpreadSheetArea area;
    SpreadSheetTableView* view = TargetView();
    if (!GetArea(area) || !view) {
        error = ecRefErr;
        return;
    }
    const SpreadSheetFormulaTokenDimension size { area.bottom - area.top + 1, area.right - area.left + 1 };
    if (!arrayItemPosition(size, row, column)) {
        error = ecNA;
        return;
    }
    readCell(this, view, area.top + row, area.left + column, value, error);
}

SpreadSheetFormulaTokenDimension SpreadSheetFormulaReferenceToken::GetDimension(SpreadSheetFormulaErrorCode& error)
{
    SpreadSheetArea area;
    if (!GetArea(area)) {
        error = ecRefErr;
        return {};
    }
    return { area.bottom - area.top + 1, area.right - area.left + 1 };
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaReferenceToken::ExtractColumn(
    int index, SpreadSheetFormulaErrorCode& error)
{
    SpreadSheetArea area;
    SpreadSheetTableView* view = TargetView();
    if (!GetArea(area) || !view || index < 0 || index > area.right - area.left) {
        error = ecRefErr;
        return nullptr;
    }
    return std::make_unique<SpreadSheetReferenceVector>(Owner() ? Owner()->Controller() : nullptr, view, area.top,
        area.left + index, area.bottom - area.top + 1, true);
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaReferenceToken::ExtractRow(
    int index, SpreadSheetFormulaErrorCode& error)
{
    SpreadSheetArea area;
    SpreadSheetTableView* view = TargetView();
    if (!GetArea(area) || !view || index < 0 || index > area.bottom - area.top) {
        error = ecRefErr;
        return nullptr;
    }
    return std::make_unique<SpreadSheetReferenceVector>(Owner() ? Owner()->Controller() : nullptr, view,
        area.top + index, area.left, area.right - area.left + 1, false);
}

bool SpreadSheetFormulaReferenceToken::IsEnumeration() const
{
    SpreadSheetArea area;
    return GetArea(area) && (area.top != area.bottom || area.left != area.right);
}

// ---------------------------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaOperationToken::Calculate(SpreadSheetFormulaResult& result)
{
    switch (operation_) {
    case opIsect:
    case opUnion:
    case opRange:
        calculateReferenceOperation(operation_, result);
        return;
    case opParen:
        return;
    default:
        break;
    }
    const bool unary = operation_ == opUplus || operation_ == opUminus || operation_ == opPercent;
    const int operandCount = unary ? 1 : 2;
    if (result.Count() < operandCount) {
        result.SetError(ecValue);
        return;
    }
    SpreadSheetFormulaToken* right = result.LastItem();
    SpreadSheetFormulaToken* left = unary ? nullptr : result.Item(result.Count() - 2);
    SpreadSheetCustomFormula* formula = result.Owner();
    const SpreadSheetFormatSettings& settings = result.FormatSettings();
    const bool arrayMode = (formula && formula->IsArrayFormula()) || right->Kind() == tkArray
        || (left && left->Kind() == tkArray);
    SpreadSheetVariant leftValue;
    SpreadSheetVariant rightValue;
    SpreadSheetFormulaErrorCode leftError = ecNone;
    SpreadSheetFormulaErrorCode rightError = ecNone;
    if (!arrayMode) {
        const int row = anchorRow(formula);
        const int column = anchorColumn(formula);
        right->GetValueRelatedWithCell(row, column, rightValue, rightError);
        if (left)
            left->GetValueRelatedWithCell(row, column, leftValue, leftError);
        SpreadSheetVariant value;
        const SpreadSheetFormulaErrorCode error
            = applyOperation(operation_, leftValue, leftError, rightValue, rightError, settings, value);
        for (int i = 0; i < operandCount; ++i)
            result.Delete(result.Count() - 1);
        if (error != ecNone) {
            result.AddTemporary(std::make_unique<SpreadSheetFormulaErrorValueToken>(error));
            result.SetError(error);
            return;
        }
        result.AddValue(value);
        return;
    }
    SpreadSheetFormulaErrorCode error = ecNone;
    SpreadSheetFormulaTokenDimension size = right->GetDimension(error);
    if (left && !unionSize(size, left->GetDimension(error), error)) {
        result.SetError(error);
        return;
    }
    auto array = makeArray(formula, size,
        [&](int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& itemError) {
            right->GetValueAsArrayItem(row, column, rightValue, rightError);
            if (left)
                left->GetValueAsArrayItem(row, column, leftValue, leftError);
            itemError = applyOperation(operation_, leftValue, leftError, rightValue, rightError, settings, value);
        });
    for (int i = 0; i < operandCount; ++i)
        result.Delete(result.Count() - 1);
    result.AddTemporary(std::move(array));
}

// ---------------------------------------------------------------------------------------------
// Function calls
// ---------------------------------------------------------------------------------------------

bool SpreadSheetFormulaFunctionToken::IsEnumeration() const
{
    return information_ && information_->ResultKind() == frkArray;
}

SpreadSheetFormulaTokenDimension SpreadSheetFormulaFunctionToken::GetDimension(SpreadSheetFormulaErrorCode& error)
{
    if (!IsEnumeration())
        return {};
    SpreadSheetFormulaResult call(Owner());
    Calculate(call);
    if (!call.Validate()) {
        error = call.ErrorCode();
        return {};
    }
    return call.LastItem() ? call.LastItem()->GetDimension(error) : SpreadSheetFormulaTokenDimension {};
}

bool SpreadSheetFormulaFunctionToken::CalculateLifted(SpreadSheetFormulaResult& result)
{
    SpreadSheetCustomFormula* formula = result.Owner();
    const bool isArrayFormula = formula && formula->IsArrayFormula();
    struct Lifted {
        const SpreadSheetFormulaToken* holder;
        SpreadSheetFormulaToken* items;
    };
    std::vector<Lifted> lifted;
    std::vector<std::unique_ptr<SpreadSheetFormulaResult>> evaluated; // keeps array results alive
    SpreadSheetFormulaTokenDimension size;
    SpreadSheetFormulaErrorCode error = ecNone;
    int index = 0;
    for (SpreadSheetFormulaToken* holder = ChildFirst(); holder; holder = holder->Next(), ++index) {
        if (index >= static_cast<int>(paramKinds_.size()) || !isValueKind(paramKinds_[static_cast<std::size_t>(index)]))
            continue;
        SpreadSheetFormulaToken* chain = holder->ChildFirst();
        if (!chain)
            continue;
        SpreadSheetFormulaToken* items = nullptr;
        if (!chain->Next() && (chain->Kind() == tkArray || (isArrayFormula && isReference(chain)))) {
            items = chain;
        } else if (mayGiveArray(chain, isArrayFormula)) {
            auto argument = std::make_unique<SpreadSheetFormulaResult>(formula);
            argument->Calculate(chain);
            if (argument->Validate() && argument->LastItem() && argument->LastItem()->Kind() == tkArray) {
                items = argument->LastItem();
                evaluated.push_back(std::move(argument));
            }
        }
        if (!items)
            continue;
        if (!unionSize(size, items->GetDimension(error), error)) {
            result.SetError(error);
            return true;
        }
        lifted.push_back({ holder, items });
    }
    if (lifted.empty() || (size.RowCount == 1 && size.ColumnCount == 1))
        return false;

    std::vector<SpreadSheetFormulaResult::LiftedArgument> arguments(lifted.size());
    auto array = makeArray(formula, size,
        [&](int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& itemError) {
            for (std::size_t i = 0; i < lifted.size(); ++i) {
                arguments[i].holder = lifted[i].holder;
                lifted[i].items->GetValueAsArrayItem(row, column, arguments[i].value, arguments[i].error);
            }
            SpreadSheetFormulaResult call(formula);
            call.liftedArguments_ = &arguments;
            information_->Proc()(call, ChildFirst());
            value = call.GetValue(&itemError);
        });
    result.AddTemporary(std::move(array));
    return true;
}

void SpreadSheetFormulaFunctionToken::Calculate(SpreadSheetFormulaResult& result)
{
    if (!information_ || !information_->Proc()) {
        result.SetError(ecName);
        return;
    }
    const SpreadSheetCustomFormula* formula = result.Owner();
    const bool inPass = formula && formula->Controller() && formula->Controller()->CalculationInProcess();
    if (inPass && hasCachedValue_) {
        if (cachedError_ != ecNone)
            result.SetError(cachedError_);
        else
            result.AddValue(cachedValue_);
        return;
    }
    if (paramKinds_.empty() && information_->ParamInfo() && !information_->ParamInfo()->empty())
        InitializeParamsInfo();
    const int count = result.Count();
    if (information_->ResultKind() != frkValue || !CalculateLifted(result))
        information_->Proc()(result, ChildFirst());
    if (!inPass)
        return;
    // Only scalars are kept: a reference or an array must stay what it is for the consumer.
    if (!result.Validate() && result.Count() == count) {
        hasCachedValue_ = true;
        cachedError_ = result.ErrorCode();
    } else if (result.Validate() && result.Count() == count + 1) {
        SpreadSheetFormulaToken* top = result.LastItem();
        if (!isReference(top) && top->Kind() != tkArray && top->Kind() != tkList) {
            top->GetValue(cachedValue_, cachedError_);
            hasCachedValue_ = cachedError_ == ecNone;
        }
    }
}

} // namespace quorvel
