#pragma once

#include <QString>

namespace quorvel {

class SpreadSheetFormatSettings;
struct SpreadSheetCellValue;

/// Serial of 1 January 1904 in the 1900 system: the offset between the two date systems.
inline constexpr double kDate1904Offset = 1462;

/// Recognises a typed text as a value: blank, currency, number, Boolean or date-time, trying the
/// workbook's settings first and the system's second. Texts holding "=" or a double quote are never
/// values. Date-times come back as day counts from 30 December 1899, shifted into `settings`' date
/// system; the caller applies the leap-day rule when storing.
bool TextToValue(const QString& text, const SpreadSheetFormatSettings& settings,
    const SpreadSheetFormatSettings& systemSettings, SpreadSheetCellValue& value);

/// Decimal number in the settings' notation (sign, digits, one decimal separator, exponent).
bool TryTextToFloat(const QString& text, const SpreadSheetFormatSettings& settings, double& value);
/// Date and/or time in the settings' patterns; day count from 30 December 1899.
bool TryTextToDateTime(const QString& text, const SpreadSheetFormatSettings& settings, double& value);

/// Day count from 30 December 1899 of a calendar date; false for an impossible date.
bool TryEncodeDate(int year, int month, int day, double& value);
bool TryEncodeTime(int hour, int minute, int second, int msec, double& value);

} // namespace quorvel
