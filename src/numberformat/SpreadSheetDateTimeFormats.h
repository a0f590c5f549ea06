#pragma once

#include <QString>

namespace quorvel {

struct LocaleData;

/// A system date/time pattern turned into a format code ("AMPM" -> "AM/PM", "n" -> "m", "c" -> the
/// short date with the long time when `hasFraction`).
QString ConvertDateTimeDisplayFormat(const QString& pattern, const LocaleData& data, bool hasFraction = false);

/// The format a cell gets when it receives the date-time `value` and shows no date or time yet:
/// the short date for whole days, the short date and long time for a day with a time, the long
/// time for a time of day alone.
QString DefaultDateTimeFormatCode(double value, const LocaleData& data);

} // namespace quorvel
