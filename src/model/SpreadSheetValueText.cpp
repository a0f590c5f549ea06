#include "model/SpreadSheetValueText.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTextToValue.h"

#include <QDateTime>
#include <QTimeZone>

#include <array>
#include <cmath>
#include <cstdio>

namespace quorvel {

namespace {

const std::array<const ResourceString*, 7>& errorLiterals()
{
    static const std::array<const ResourceString*, 7> literals
        = { &serNullError, &serDivZeroError, &serValueError, &serRefError, &serNameError, &serNumError, &serNAError };
    return literals;
}

QString groupDigits(const QString& digits, QChar separator)
{
    QString result;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            result += separator;
        result += digits[i];
    }
    return result;
}

} // namespace

QString ErrorCodeToText(SpreadSheetFormulaErrorCode code)
{
    const int index = static_cast<int>(code) - 1;
    return index >= 0 && index < 7 ? errorLiterals()[static_cast<size_t>(index)]->Text() : QString();
}

bool TryTextToErrorCode(const QString& text, SpreadSheetFormulaErrorCode& code)
{
    if (!text.startsWith(u'#'))
        return false;
    for (size_t i = 0; i < errorLiterals().size(); ++i) {
        if (text.compare(errorLiterals()[i]->Text(), Qt::CaseInsensitive) == 0) {
            code = static_cast<SpreadSheetFormulaErrorCode>(i + 1);
            return true;
        }
    }
    return false;
}

QString FloatToText(double value, const LocaleData& data)
{
    if (!std::isfinite(value))
        return QStringLiteral("NAN");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    QString text = QString::fromLatin1(buffer);
    // "1.5E+20" -> "1.5E20", "1E-06" -> "1E-6": exponents without plus sign or leading zeros.
    const qsizetype e = text.indexOf(u'E');
    if (e >= 0) {
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(u'-');
        exponent.remove(0, exponent.startsWith(u'+') || negative ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(u'0'))
            exponent.remove(0, 1);
        text = mantissa + u'E' + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    text.replace(u'.', data.decimalSeparator);
    return text;
}

QString CurrencyToText(std::int64_t amount, const LocaleData& data)
{
    const bool negative = amount < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    const int decimals = std::clamp(data.currencyDecimals, 0, 4);
    std::uint64_t scale = 1;
    for (int i = decimals; i < 4; ++i)
        scale *= 10;
    const std::uint64_t rounded = (magnitude + scale / 2) / scale;
    std::uint64_t divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;
    QString number = groupDigits(QString::number(rounded / divisor), data.thousandSeparator);
    if (decimals > 0)
        number += data.decimalSeparator + QString::number(rounded % divisor).rightJustified(decimals, u'0');
    const QString& c = data.currencyString;
    const QString n = number;
    if (!negative) {
        switch (data.currencyFormat) {
        case 1:
            return n + c;
        case 2:
            return c + u' ' + n;
        case 3:
            return n + u' ' + c;
        default:
            return c + n;
        }
    }
    switch (data.negCurrFormat) {
    case 0:
        return u'(' + c + n + u')';
    case 1:
        return u'-' + c + n;
    case 2:
        return c + u'-' + n;
    case 3:
        return c + n + u'-';
    case 4:
        return u'(' + n + c + u')';
    case 5:
        return u'-' + n + c;
    case 6:
        return n + u'-' + c;
    case 7:
        return n + c + u'-';
    case 8:
        return u'-' + n + u' ' + c;
    case 9:
        return u'-' + c + u' ' + n;
    case 10:
        return n + u' ' + c + u'-';
    case 11:
        return c + u' ' + n + u'-';
    case 12:
        return c + u' ' + u'-' + n;
    case 13:
        return n + u'-' + u' ' + c;
    case 14:
        return u'(' + c + u' ' + n + u')';
    default:
        return u'(' + n + u' ' + c + u')';
    }
}

double SerialToDayCount(double serial, SpreadSheetDateTimeSystem system)
{
    if (system == dts1904)
        return serial + kDate1904Offset;
    return serial >= 1 && serial < 61 ? serial + 1 : serial;
}

QDateTime DateTimeFromSerial(double serial, SpreadSheetDateTimeSystem system)
{
    const double days = SerialToDayCount(serial, system);
    const double whole = std::floor(days);
    const qint64 msecs = std::llround((days - whole) * 86400000.0);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    return QDateTime(date, QTime(0, 0), Qt::UTC).addMSecs(msecs);
}

double SerialFromDateTime(const QDateTime& value, SpreadSheetDateTimeSystem system)
{
    const QDateTime utc(value.date(), value.time(), Qt::UTC);
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    double days = static_cast<double>(base.msecsTo(utc)) / 86400000.0;
    if (system == dts1904)
        days -= kDate1904Offset;
    return days;
}

QString FormatDateTimePattern(const QString& pattern, double dayCount, const LocaleData& data)
{
    const double whole = std::floor(dayCount);
    const qint64 totalMsecs = std::llround((dayCount - whole) * 86400000.0);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole) + totalMsecs / 86400000);
    const qint64 msecs = totalMsecs % 86400000;
    const int hour = static_cast<int>(msecs / 3600000);
    const int minute = static_cast<int>(msecs / 60000 % 60);
    const int second = static_cast<int>(msecs / 1000 % 60);
    const bool twelveHour = pattern.contains(QStringLiteral("AMPM"), Qt::CaseInsensitive);

    QString result;
    bool afterHour = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            result += pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? pattern.size() : end + 1;
            continue;
        }
        if (pattern.mid(i, 4).compare(QStringLiteral("AMPM"), Qt::CaseInsensitive) == 0) {
            result += hour < 12 ? data.timeAMString : data.timePMString;
            i += 4;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == lower)
            ++run;
        switch (lower.unicode()) {
        case u'd':
            if (run == 1)
                result += QString::number(date.day());
            else if (run == 2)
                result += QString::number(date.day()).rightJustified(2, u'0');
            else if (run == 3)
                result += data.shortDayNames.value(date.dayOfWeek() % 7);
            else
                result += data.longDayNames.value(date.dayOfWeek() % 7);
            break;
        case u'm':
            if (afterHour && run <= 2) {
                result += run == 1 ? QString::number(minute) : QString::number(minute).rightJustified(2, u'0');
            } else if (run == 1) {
                result += QString::number(date.month());
            } else if (run == 2) {
                result += QString::number(date.month()).rightJustified(2, u'0');
            } else if (run == 3) {
                result += data.shortMonthNames.value(date.month() - 1);
            } else {
                result += data.longMonthNames.value(date.month() - 1);
            }
            break;
        case u'n':
            result += run == 1 ? QString::number(minute) : QString::number(minute).rightJustified(2, u'0');
            break;
        case u'y':
            result += run <= 2 ? QString::number(date.year() % 100).rightJustified(2, u'0')
                               : QString::number(date.year()).rightJustified(4, u'0');
            break;
        case u'h': {
            int h = hour;
            if (twelveHour) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            result += run == 1 ? QString::number(h) : QString::number(h).rightJustified(2, u'0');
            break;
        }
        case u's':
            result += run == 1 ? QString::number(second) : QString::number(second).rightJustified(2, u'0');
            break;
        default:
            result += pattern.mid(i, run);
            break;
        }
        if (lower == u'h')
            afterHour = true;
        else if (lower != u'm' && lower.isLetter())
            afterHour = false;
        i += run;
    }
    return result;
}

QString DateTimeToText(double serial, const SpreadSheetFormatSettings& settings, bool timeOnly)
{
    const LocaleData& data = settings.Data;
    const double days = SerialToDayCount(serial, settings.DateTimeSystem);
    const bool hasTime = std::abs(days - std::trunc(days)) > 1e-9;
    if (timeOnly || (days >= 0 && days < 1 && hasTime && settings.DateTimeSystem == dts1900 && serial < 1))
        return FormatDateTimePattern(data.longTimeFormat, days, data);
    QString text = FormatDateTimePattern(data.shortDateFormat, days, data);
    if (hasTime)
        text += u' ' + FormatDateTimePattern(data.longTimeFormat, days, data);
    return text;
}

} // namespace quorvel
