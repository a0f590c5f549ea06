#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

namespace quorvel {

class SpreadSheetFormatSettings;

/// Reads a value as a number the way formula operators do: empty and null are 0, Booleans 1 and 0
/// (or "#VALUE!" when refused), numbers stay, and text (when allowed) is tried by
/// TryFormulaTextToNumber. Returns ecNone or the error that stops the conversion.
SpreadSheetFormulaErrorCode ConvertValueToNumeric(const SpreadSheetVariant& value,
    const SpreadSheetFormatSettings& settings, bool canConvertText, bool withoutBoolean, double& number);

/// Text typed or computed as a number: a plain number of the locale, a formatted number (sign,
/// parentheses, currency symbol, thousand separators), a date or time, or a month with a year or
/// a day with a month. Dates come back as serial numbers of the settings' date system.
bool TryFormulaTextToNumber(const QString& text, const SpreadSheetFormatSettings& settings, double& number);
/// The formatted-number reading alone: "-1,234", "(5)", "$12".
bool TryFormattedTextToNumber(const QString& text, const SpreadSheetFormatSettings& settings, double& number);
/// A date typed as "month/year" or "day/month" (the order of the locale's short date pattern).
bool TryMonthYearOrDayMonthToNumber(const QString& text, const SpreadSheetFormatSettings& settings, double& number);
/// Serial number of a day count from 30 December 1899: the 1904 shift, or the 1900 system's
/// phantom 29 February that makes the first 60 serials one day earlier.
double DayCountToSerial(double dayCount, SpreadSheetDateTimeSystem system);

/// The text of a value as "&" and text functions see it: numbers in the locale's notation,
/// Booleans as TRUE/FALSE, empty as the empty text.
QString FormulaValueToText(const SpreadSheetVariant& value, const SpreadSheetFormatSettings& settings);

/// Orders two scalar values: negative, zero or positive. Empty equals empty, 0 and the empty text;
/// text sorts after numbers and before Booleans and compares case-insensitively by the locale's
/// collation; Booleans sort after numbers, FALSE before TRUE.
int CompareFormulaValues(
    const SpreadSheetVariant& left, const SpreadSheetVariant& right, const SpreadSheetFormatSettings& settings);

} // namespace quorvel
