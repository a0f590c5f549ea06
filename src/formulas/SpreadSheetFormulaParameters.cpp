// Parameter access of the evaluation stack: how function implementations read, convert and
// enumerate their arguments.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetFormulaValues.h"
#include "formulas/SpreadSheetVector.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"
#include "model/SpreadSheetTextToValue.h"

#include <algorithm>

namespace quorvel {

namespace {

bool isReference(const SpreadSheetFormulaToken* token) { return IsReferenceKind(token->Kind()); }

// Operands whose value needs no evaluation of their own.
bool isPlainOperand(const SpreadSheetFormulaToken* token)
{
    switch (token->Kind()) {
    case tkNull:
    case tkStringValue:
    case tkTextValue:
    case tkVariant:
    case tkBooleanValue:
    case tkIntegerValue:
    case tkFloatValue:
    case tkCurrencyValue:
    case tkDateTimeValue:
    case tkErrorValue:
        return true;
    default:
        return isReference(token);
    }
}

bool isNullArgument(const SpreadSheetFormulaToken* holder)
{
    const SpreadSheetFormulaToken* chain = holder->ChildFirst();
    return chain && chain->Kind() == tkNull && !chain->Next();
}

// Hands the cells of a range to `proc` column by column, top to bottom, clipped to the sheet's
// used range; runs of cells that do not exist go over in one step.
bool enumerateArea(SpreadSheetFormulaReferenceToken* reference, const SpreadSheetForEachProc& proc)
{
    SpreadSheetEnumeratedValue item;
    item.CanConvertStrToNumber = false;
    SpreadSheetArea area;
    SpreadSheetTableView* view = reference->TargetView();
    SpreadSheetCustomFormula* formula = reference->Owner();
    SpreadSheetFormulaController* controller = formula ? formula->Controller() : nullptr;
    if (!reference->GetArea(area) || !view || !controller) {
        item.ErrorCode = ecRefErr;
        return proc(item);
    }
    const SpreadSheetArea used = view->GetDimensions();
    const int right = std::min(area.right, used.right);
    const int bottom = std::min(area.bottom, used.bottom);
    const SpreadSheetFormatSettings& settings = formula->FormatSettings();
    for (int column = area.left; column <= right; ++column) {
        item.ColumnOffset = column - area.left;
        int next = area.top; // the first row not handed over yet
        const auto emptyRun = [&](int until) {
            if (until <= next)
                return true;
            item.Value = {};
            item.ErrorCode = ecNone;
            item.Count = until - next;
            item.RowOffset = next - area.top;
            next = until;
            return proc(item);
        };
        for (const SpreadSheetTableRow* row = view->Rows().FindAtOrAfter(area.top); row && row->Index() <= bottom;
             row = row->NextRow()) {
            const SpreadSheetCell* cell = row->FindCellAtOrAfter(column);
            if (!cell || cell->ColumnIndex() != column)
                continue;
            const int rowIndex = row->Index();
            if (!emptyRun(rowIndex))
                return false;
            item.Count = 1;
            item.RowOffset = rowIndex - area.top;
            controller->ReadCellValue(cell, item.Value, item.ErrorCode);
            // Text that a formula computed is not typed text: it counts when it reads as a number.
            double number = 0;
            if (item.Value.IsText() && cell->DataType() != cdtString
                && TryTextToFloat(item.Value.Text(), settings, number))
                item.Value = SpreadSheetVariant::FromFloat(number);
            next = rowIndex + 1;
            if (!proc(item))
                return false;
        }
        if (!emptyRun(bottom + 1))
            return false;
    }
    return true;
}

bool enumerateArray(SpreadSheetFormulaToken* array, const SpreadSheetForEachProc& proc)
{
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetFormulaTokenDimension size = array->GetDimension(error);
    SpreadSheetEnumeratedValue item;
    item.CanConvertStrToNumber = false;
    for (int row = 0; row < size.RowCount; ++row) {
        for (int column = 0; column < size.ColumnCount; ++column) {
            item.RowOffset = row;
            item.ColumnOffset = column;
            array->GetValueAsArrayItem(row, column, item.Value, item.ErrorCode);
            if (!proc(item))
                return false;
        }
    }
    return true;
}

} // namespace

const SpreadSheetFormatSettings& SpreadSheetFormulaResult::FormatSettings() const
{
    return owner_ ? owner_->FormatSettings() : SpreadSheetFormatSettings::Invariant();
}

void SpreadSheetFormulaResult::Calculate(SpreadSheetFormulaToken* chain)
{
    try {
        for (SpreadSheetFormulaToken* token = chain; token && Validate(); token = token->Next())
            token->Calculate(*this);
    } catch (...) {
        SetError(ecNUM);
    }
}

int SpreadSheetFormulaResult::GetParamsCount(const SpreadSheetFormulaToken* params)
{
    int count = 0;
    for (; params; params = params->Next())
        ++count;
    return count;
}

bool SpreadSheetFormulaResult::ParameterExists(const SpreadSheetFormulaToken* params, int index)
{
    return GetParameter(const_cast<SpreadSheetFormulaToken*>(params), index) != nullptr;
}

SpreadSheetFormulaToken* SpreadSheetFormulaResult::GetParameter(SpreadSheetFormulaToken* params, int index)
{
    if (index < 0)
        return nullptr;
    for (; params && index > 0; --index)
        params = params->Next();
    return params;
}

const SpreadSheetFormulaResult::LiftedArgument* SpreadSheetFormulaResult::FindLiftedArgument(
    const SpreadSheetFormulaToken* holder) const
{
    if (!liftedArguments_)
        return nullptr;
    for (const LiftedArgument& argument : *liftedArguments_)
        if (argument.holder == holder)
            return &argument;
    return nullptr;
}

void SpreadSheetFormulaResult::CalculateArgument(
    const SpreadSheetFormulaToken* holder, SpreadSheetFormulaResult& target) const
{
    if (const LiftedArgument* lifted = FindLiftedArgument(holder)) {
        if (lifted->error != ecNone)
            target.SetError(lifted->error);
        else
            target.AddValue(lifted->value);
        return;
    }
    target.Calculate(holder->ChildFirst());
}

void SpreadSheetFormulaResult::ReadArgument(const SpreadSheetFormulaToken* holder, SpreadSheetVariant& value,
    SpreadSheetFormulaErrorCode& error, bool& canConvertStrToNumber) const
{
    value = {};
    error = ecNone;
    canConvertStrToNumber = true;
    if (const LiftedArgument* lifted = FindLiftedArgument(holder)) {
        value = lifted->value;
        error = lifted->error;
        return;
    }
    SpreadSheetFormulaToken* chain = holder->ChildFirst();
    if (!chain)
        return;
    canConvertStrToNumber = chain->CanConvertStrToNumber();
    const int row = owner_ ? owner_->AnchorRow() : 0;
    const int column = owner_ ? owner_->AnchorColumn() : 0;
    if (!chain->Next() && isPlainOperand(chain)) {
        chain->GetValueRelatedWithCell(row, column, value, error);
        return;
    }
    SpreadSheetFormulaResult argument(owner_);
    argument.Calculate(chain);
    if (!argument.Validate())
        error = argument.ErrorCode();
    else if (SpreadSheetFormulaToken* top = argument.LastItem())
        top->GetValueRelatedWithCell(row, column, value, error);
    else
        error = ecValue;
}

bool SpreadSheetFormulaResult::ExtractParameter(SpreadSheetVariant& value, SpreadSheetFormulaToken* params, int index)
{
    bool canConvertStrToNumber = true;
    return ExtractParameter(value, canConvertStrToNumber, params, index);
}

bool SpreadSheetFormulaResult::ExtractParameter(
    SpreadSheetVariant& value, bool& canConvertStrToNumber, SpreadSheetFormulaToken* params, int index)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (!holder)
        return Fail(ecNA);
    SpreadSheetFormulaErrorCode error = ecNone;
    ReadArgument(holder, value, error, canConvertStrToNumber);
    return error == ecNone || Fail(error);
}

bool SpreadSheetFormulaResult::ExtractParameterDef(SpreadSheetVariant& value, bool& canConvertStrToNumber,
    const SpreadSheetVariant& defaultIfNull, SpreadSheetFormulaToken* params, int index)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (holder && isNullArgument(holder) && !FindLiftedArgument(holder)) {
        value = defaultIfNull;
        canConvertStrToNumber = true;
        return true;
    }
    return ExtractParameter(value, canConvertStrToNumber, params, index);
}

bool SpreadSheetFormulaResult::ExtractParameterDef(SpreadSheetVariant& value, bool& canConvertStrToNumber,
    const SpreadSheetVariant& defaultIfMissing, const SpreadSheetVariant& defaultIfNull,
    SpreadSheetFormulaToken* params, int index)
{
    if (!ParameterExists(params, index)) {
        value = defaultIfMissing;
        canConvertStrToNumber = true;
        return true;
    }
    return ExtractParameterDef(value, canConvertStrToNumber, defaultIfNull, params, index);
}

namespace {

// Text that is refused as a number may still be a date typed as text.
bool readAsPositiveDate(const SpreadSheetVariant& value, const SpreadSheetFormatSettings& settings, double& number)
{
    double dayCount = 0;
    if (!value.IsText() || !TryTextToDateTime(value.Text(), settings, dayCount))
        return false;
    number = DayCountToSerial(dayCount, settings.DateTimeSystem);
    return number > 0;
}

} // namespace

bool SpreadSheetFormulaResult::ExtractNumber(double& value, SpreadSheetFormulaToken* params, int index,
    bool withoutBoolean, const double* defaultIfMissing, double defaultIfNull)
{
    if (!ParameterExists(params, index)) {
        if (!defaultIfMissing)
            return Fail(ecNA);
        value = *defaultIfMissing;
        return true;
    }
    SpreadSheetVariant variant;
    bool canConvertStrToNumber = true;
    if (!ExtractParameterDef(variant, canConvertStrToNumber, SpreadSheetVariant::FromFloat(defaultIfNull), params, index))
        return false;
    const SpreadSheetFormatSettings& settings = FormatSettings();
    if (ConvertValueToNumeric(variant, settings, canConvertStrToNumber, withoutBoolean, value) == ecNone
        || readAsPositiveDate(variant, settings, value))
        return true;
    return Fail(ecValue);
}

bool SpreadSheetFormulaResult::ExtractNumericParameter(double& value, SpreadSheetFormulaToken* params, int index)
{
    return ExtractNumber(value, params, index, false, nullptr, 0);
}

bool SpreadSheetFormulaResult::ExtractNumericParameterWithoutBoolean(
    double& value, SpreadSheetFormulaToken* params, int index)
{
    return ExtractNumber(value, params, index, true, nullptr, 0);
}

bool SpreadSheetFormulaResult::ExtractNumericParameterDef(
    double& value, double defaultIfMissing, double defaultIfNull, SpreadSheetFormulaToken* params, int index)
{
    return ExtractNumber(value, params, index, false, &defaultIfMissing, defaultIfNull);
}

bool SpreadSheetFormulaResult::ExtractNumericParameterDefWithoutBoolean(
    double& value, double defaultIfMissing, double defaultIfNull, SpreadSheetFormulaToken* params, int index)
{
    return ExtractNumber(value, params, index, true, &defaultIfMissing, defaultIfNull);
}

bool SpreadSheetFormulaResult::ExtractStringParameter(QString& value, SpreadSheetFormulaToken* params, int index)
{
    SpreadSheetVariant variant;
    if (!ExtractParameter(variant, params, index))
        return false;
    value = FormulaValueToText(variant, FormatSettings());
    return true;
}

bool SpreadSheetFormulaResult::ExtractValue(SpreadSheetVariant& value)
{
    SpreadSheetFormulaErrorCode error = ecNone;
    const int row = owner_ ? owner_->AnchorRow() : 0;
    const int column = owner_ ? owner_->AnchorColumn() : 0;
    ExtractValueToken()->GetValueRelatedWithCell(row, column, value, error);
    return error == ecNone || Fail(error);
}

bool SpreadSheetFormulaResult::ExtractStringValue(QString& value)
{
    SpreadSheetVariant variant;
    if (!ExtractValue(variant))
        return false;
    value = FormulaValueToText(variant, FormatSettings());
    return true;
}

SpreadSheetFormulaToken* SpreadSheetFormulaResult::ExtractValueToken()
{
    if (values_.empty()) {
        temporaryTokens_.push_back(std::make_unique<SpreadSheetFormulaNullToken>());
        return temporaryTokens_.back().get();
    }
    SpreadSheetFormulaToken* token = values_.back();
    values_.pop_back();
    return token;
}

SpreadSheetFormulaErrorCode SpreadSheetFormulaResult::ExtractErrorCode(
    SpreadSheetFormulaToken* params, int index, SpreadSheetVariant* value)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (!holder)
        return ecNA;
    SpreadSheetVariant variant;
    SpreadSheetFormulaErrorCode error = ecNone;
    bool canConvertStrToNumber = true;
    ReadArgument(holder, variant, error, canConvertStrToNumber);
    if (value)
        *value = std::move(variant);
    return error;
}

bool SpreadSheetFormulaResult::ExtractParameterDimension(
    SpreadSheetFormulaTokenDimension& dimension, SpreadSheetFormulaToken* params, int index)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (!holder)
        return Fail(ecNA);
    SpreadSheetFormulaResult argument(owner_);
    CalculateArgument(holder, argument);
    if (!argument.Validate())
        return Fail(argument.ErrorCode());
    SpreadSheetFormulaToken* top = argument.LastItem();
    if (!top)
        return Fail(ecValue);
    SpreadSheetFormulaErrorCode error = ecNone;
    dimension = top->GetDimension(error);
    return error == ecNone || Fail(error);
}

bool SpreadSheetFormulaResult::AddParameterValues(SpreadSheetFormulaToken* params, int index)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (!holder)
        return Fail(ecNA);
    SpreadSheetFormulaResult argument(owner_);
    CalculateArgument(holder, argument);
    if (argument.Validate() && argument.Count() == 0)
        return Fail(ecValue);
    AddResultValue(&argument);
    return Validate();
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaResult::ExtractVector(
    SpreadSheetFormulaToken* params, int index, int vectorIndex, bool isColumn)
{
    const SpreadSheetFormulaToken* holder = GetParameter(params, index);
    if (!holder) {
        SetError(ecNA);
        return nullptr;
    }
    SpreadSheetFormulaResult argument(owner_);
    CalculateArgument(holder, argument);
    SpreadSheetFormulaErrorCode error = argument.ErrorCode();
    std::unique_ptr<SpreadSheetVector> vector;
    if (error == ecNone) {
        if (SpreadSheetFormulaToken* top = argument.LastItem())
            vector = isColumn ? top->ExtractColumn(vectorIndex, error) : top->ExtractRow(vectorIndex, error);
        else
            error = ecValue;
    }
    if (error != ecNone) {
        SetError(error);
        return nullptr;
    }
    return vector;
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaResult::ExtractColumnFromRange(
    SpreadSheetFormulaToken* params, int index, int vectorIndex)
{
    return ExtractVector(params, index, vectorIndex, true);
}

std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaResult::ExtractRowFromRange(
    SpreadSheetFormulaToken* params, int index, int vectorIndex)
{
    return ExtractVector(params, index, vectorIndex, false);
}

bool SpreadSheetFormulaResult::EnumerateToken(SpreadSheetFormulaToken* token, const SpreadSheetForEachProc& proc)
{
    if (isReference(token))
        return enumerateArea(static_cast<SpreadSheetFormulaReferenceToken*>(token), proc);
    switch (token->Kind()) {
    case tkArray:
        return enumerateArray(token, proc);
    case tkList:
        for (SpreadSheetFormulaToken* item = token->ChildFirst(); item; item = item->Next())
            if (!ForEach(item, proc))
                return false;
        return true;
    case tkNull: {
        // An empty argument written in the formula counts as a direct null.
        SpreadSheetEnumeratedValue item;
        item.Value = SpreadSheetVariant::Null();
        return proc(item);
    }
    default: {
        SpreadSheetEnumeratedValue item;
        token->GetValue(item.Value, item.ErrorCode);
        item.CanConvertStrToNumber = token->CanConvertStrToNumber();
        return proc(item);
    }
    }
}

bool SpreadSheetFormulaResult::ForEach(SpreadSheetFormulaToken* param, const SpreadSheetForEachProc& proc)
{
    if (!param)
        return true;
    if (const LiftedArgument* lifted = FindLiftedArgument(param)) {
        SpreadSheetEnumeratedValue item;
        item.Value = lifted->value;
        item.ErrorCode = lifted->error;
        return proc(item);
    }
    SpreadSheetFormulaToken* chain = param->ChildFirst();
    if (!chain)
        return true;
    if (!chain->Next() && (isReference(chain) || chain->Kind() == tkArray || chain->Kind() == tkNull))
        return EnumerateToken(chain, proc);
    SpreadSheetFormulaResult argument(owner_);
    argument.Calculate(chain);
    if (!argument.Validate()) {
        SpreadSheetEnumeratedValue item;
        item.ErrorCode = argument.ErrorCode();
        return proc(item);
    }
    for (int i = 0; i < argument.Count(); ++i)
        if (!argument.EnumerateToken(argument.Item(i), proc))
            return false;
    return true;
}

bool SpreadSheetFormulaResult::ConvertToNumeric(
    const SpreadSheetVariant& value, double& number, bool canConvertStrToNumber, bool withoutBoolean)
{
    const SpreadSheetFormulaErrorCode error
        = ConvertValueToNumeric(value, FormatSettings(), canConvertStrToNumber, withoutBoolean, number);
    return error == ecNone || Fail(error);
}

} // namespace quorvel
