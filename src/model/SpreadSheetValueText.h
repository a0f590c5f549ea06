#pragma once

#include "model/SpreadSheetTypes.h"

#include <QString>

#include <cstdint>

class QDateTime;

namespace quorvel {

class SpreadSheetFormatSettings;
struct LocaleData;

/// The literal of an error code ("#N/A"); empty for ecNone.
QString ErrorCodeToText(SpreadSheetFormulaErrorCode code);
/// One of the seven error literals, ignoring case.
bool TryTextToErrorCode(const QString& text, SpreadSheetFormulaErrorCode& code);

/// Plain decimal text with up to 15 significant digits ("1.5", "1E20", "1E-6").
QString FloatToText(double value, const LocaleData& data);
/// Amount x 10000 in the locale's currency layout ("$1,234.50", "1 234,50 ₽").
QString CurrencyToText(std::int64_t amount, const LocaleData& data);
/// Date and time text of a serial in the settings' date system; only the time when `timeOnly`.
QString DateTimeToText(double serial, const SpreadSheetFormatSettings& settings, bool timeOnly = false);
/// Renders a locale date/time pattern (d, m, y, h, n, s, AMPM, quoted literals).
QString FormatDateTimePattern(const QString& pattern, double dayCount, const LocaleData& data);

/// Day count from 30 December 1899 for a stored serial (undoes the 1900 leap-day rule and the
/// 1904 shift).
double SerialToDayCount(double serial, SpreadSheetDateTimeSystem system);
QDateTime DateTimeFromSerial(double serial, SpreadSheetDateTimeSystem system);
/// The day count a date-time stands for in the given system, before the leap-day rule.
double SerialFromDateTime(const QDateTime& value, SpreadSheetDateTimeSystem system);

} // namespace quorvel
