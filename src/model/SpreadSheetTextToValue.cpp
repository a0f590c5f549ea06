#include "model/SpreadSheetTextToValue.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetStrings.h"

#include <QDate>
#include <QLocale>

#include <cmath>
#include <vector>

namespace quorvel {

namespace {

constexpr double kMaxCurrencyAmount = 922337203685477.0; // int64 range / 10000

bool isSpace(QChar c) { return c.isSpace() || c.unicode() == 0x00A0; }

// One token of a date-time text: a number or a word, with the separator text after it.
struct DateToken {
    bool isNumber = false;
    int number = 0;
    int digits = 0;
    QString word;
};

int monthFromName(const QString& word, const LocaleData& data)
{
    for (int m = 0; m < 12; ++m) {
        if (word.compare(data.longMonthNames.value(m), Qt::CaseInsensitive) == 0
            || word.compare(data.shortMonthNames.value(m), Qt::CaseInsensitive) == 0)
            return m + 1;
        // Genitive forms ("марта") and names with a trailing dot ("янв.") start like the short name.
        const QString shortName = data.shortMonthNames.value(m).remove(u'.');
        if (shortName.size() >= 3 && word.startsWith(shortName, Qt::CaseInsensitive))
            return m + 1;
    }
    return 0;
}

// The order of day, month and year in the short date pattern: "DMY", "MDY" or "YMD".
QString dateOrder(const QString& pattern)
{
    QString order;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar part = lower == u'd' ? u'D' : lower == u'm' ? u'M' : lower == u'y' ? u'Y' : QChar();
        if (!part.isNull() && !order.contains(part))
            order += part;
    }
    return order.size() == 3 ? order : QStringLiteral("MDY");
}

int expandYear(int year, int digits, const LocaleData& data)
{
    if (digits > 2)
        return year;
    // Two-digit years fall into the window of 100 years around now.
    const int current = QDate::currentDate().year();
    int century = current - data.twoDigitYearCenturyWindow;
    int result = (century / 100) * 100 + year;
    if (result < century)
        result += 100;
    return result;
}

// Splits "date [time]" where the date parts are separated by `separator` (or by spaces when the
// month is a word). Returns the position where the time starts, or -1 when there is no date.
bool parseDatePart(const QString& text, QChar separator, const LocaleData& data, qsizetype& pos, double& value)
{
    std::vector<DateToken> parts;
    qsizetype i = pos;
    const qsizetype n = text.size();
    while (i < n && parts.size() < 3) {
        while (i < n && isSpace(text[i]))
            ++i;
        DateToken token;
        const qsizetype start = i;
        if (i < n && text[i].isDigit()) {
            while (i < n && text[i].isDigit() && token.digits < 9) {
                token.number = token.number * 10 + text[i].digitValue();
                ++token.digits;
                ++i;
            }
            if (i < n && text[i].isDigit())
                return false;
            token.isNumber = true;
        } else {
            while (i < n && text[i].isLetter())
                ++i;
            token.word = text.mid(start, i - start);
            if (token.word.isEmpty())
                break;
            // A word that is not a month ends the date (it may be AM/PM of a time).
            if (monthFromName(token.word, data) == 0) {
                i = start;
                break;
            }
            if (i < n && text[i] == u'.')
                ++i;
        }
        parts.push_back(token);
        qsizetype j = i;
        while (j < n && isSpace(text[j]))
            ++j;
        const bool hasMonthName
            = std::any_of(parts.begin(), parts.end(), [](const DateToken& t) { return !t.isNumber; });
        // A comma separates parts only around a month name ("Mar 15, 2024").
        if (j < n && (text[j] == separator || (text[j] == u',' && hasMonthName))) {
            i = j + 1;
            continue;
        }
        // Spaces separate the parts only of a date written with a month name.
        const bool nextIsWord = j < n && text[j].isLetter();
        if (j > i && (hasMonthName || nextIsWord) && parts.size() < 3 && j < n && !text[j].isNull()) {
            // Peek: a number followed by the time separator starts the time, not the date.
            qsizetype k = j;
            while (k < n && text[k].isDigit())
                ++k;
            if (k < n && text[k] == data.timeSeparator)
                break;
            i = j;
            continue;
        }
        break;
    }
    if (parts.size() < 2)
        return false;

    int year = 0;
    int month = 0;
    int day = 0;
    int yearDigits = 4;
    const QString order = dateOrder(data.shortDateFormat);
    const auto wordIndex = std::find_if(parts.begin(), parts.end(), [](const DateToken& t) { return !t.isNumber; });
    if (wordIndex != parts.end()) {
        month = monthFromName(wordIndex->word, data);
        std::vector<DateToken> numbers;
        for (const DateToken& t : parts)
            if (t.isNumber)
                numbers.push_back(t);
        if (numbers.empty())
            return false;
        day = numbers[0].number;
        if (numbers.size() > 1) {
            // "2024 Mar 5" puts the year first; otherwise the day comes first.
            if (numbers[0].digits > 2) {
                year = numbers[0].number;
                yearDigits = numbers[0].digits;
                day = numbers[1].number;
            } else {
                year = numbers[1].number;
                yearDigits = numbers[1].digits;
            }
        } else {
            year = QDate::currentDate().year();
        }
    } else if (parts.size() == 2) {
        // Two numbers are day and month in the pattern's order, in the current year.
        year = QDate::currentDate().year();
        const bool monthFirst = order.indexOf(u'M') < order.indexOf(u'D');
        month = monthFirst ? parts[0].number : parts[1].number;
        day = monthFirst ? parts[1].number : parts[0].number;
    } else {
        for (int k = 0; k < 3; ++k) {
            const DateToken& t = parts[static_cast<size_t>(k)];
            switch (order[k].unicode()) {
            case u'D':
                day = t.number;
                break;
            case u'M':
                month = t.number;
                break;
            default:
                year = t.number;
                yearDigits = t.digits;
            }
        }
    }
    year = expandYear(year, yearDigits, data);
    if (!TryEncodeDate(year, month, day, value))
        return false;
    pos = i;
    return true;
}

bool matchMarker(const QString& text, qsizetype& i, const QString& marker)
{
    if (marker.isEmpty() || text.mid(i, marker.size()).compare(marker, Qt::CaseInsensitive) != 0)
        return false;
    i += marker.size();
    return true;
}

bool parseTimePart(const QString& text, const LocaleData& data, qsizetype& pos, double& value)
{
    qsizetype i = pos;
    const qsizetype n = text.size();
    while (i < n && isSpace(text[i]))
        ++i;
    int fields[3] = { 0, 0, 0 };
    int count = 0;
    int msec = 0;
    while (count < 3) {
        if (i >= n || !text[i].isDigit())
            return false;
        int number = 0;
        int digits = 0;
        while (i < n && text[i].isDigit() && digits < 6) {
            number = number * 10 + text[i].digitValue();
            ++digits;
            ++i;
        }
        fields[count++] = number;
        if (i < n && (text[i] == data.timeSeparator || text[i] == u':') && count < 3) {
            ++i;
            continue;
        }
        break;
    }
    if (count == 3 && i < n && (text[i] == data.decimalSeparator || text[i] == u'.')) {
        ++i;
        int scale = 100;
        while (i < n && text[i].isDigit()) {
            msec += text[i].digitValue() * scale;
            scale /= 10;
            ++i;
        }
    }
    while (i < n && isSpace(text[i]))
        ++i;
    int hour = fields[0];
    bool marked = false;
    if (matchMarker(text, i, data.timeAMString) || matchMarker(text, i, QStringLiteral("AM"))) {
        if (hour > 12)
            return false;
        hour = hour == 12 ? 0 : hour;
        marked = true;
    } else if (matchMarker(text, i, data.timePMString) || matchMarker(text, i, QStringLiteral("PM"))) {
        if (hour > 12)
            return false;
        hour = hour == 12 ? 12 : hour + 12;
        marked = true;
    }
    // A bare number is not a time; "5 PM" is.
    if (count < 2 && !marked)
        return false;
    if (!TryEncodeTime(hour, fields[1], fields[2], msec, value))
        return false;
    pos = i;
    return true;
}

bool atEnd(const QString& text, qsizetype pos)
{
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    return pos >= text.size();
}

bool tryDateTimeWithSeparator(const QString& text, QChar separator, const LocaleData& data, double& value)
{
    qsizetype pos = 0;
    double date = 0;
    if (parseDatePart(text, separator, data, pos, date)) {
        if (atEnd(text, pos)) {
            value = date;
            return true;
        }
        double time = 0;
        if (parseTimePart(text, data, pos, time) && atEnd(text, pos)) {
            value = date + time;
            return true;
        }
        return false;
    }
    pos = 0;
    double time = 0;
    if (parseTimePart(text, data, pos, time) && atEnd(text, pos)) {
        value = time;
        return true;
    }
    return false;
}

bool tryCurrency(QString text, const SpreadSheetFormatSettings& settings,
    const SpreadSheetFormatSettings& systemSettings, double& amount)
{
    const QString& symbol = settings.CurrencyFormat;
    if (symbol.isEmpty() || !text.contains(symbol))
        return false;
    text = text.trimmed();
    const bool negative = (text.startsWith(u'(') && text.endsWith(u')')) || text.contains(u'-');
    const qsizetype minus = text.indexOf(u'-');
    if (minus >= 0)
        text.remove(minus, 1);
    text = text.trimmed();
    if (text.startsWith(u'(') && text.endsWith(u')'))
        text = text.mid(1, text.size() - 2);
    text.remove(text.indexOf(symbol), symbol.size());
    text = text.trimmed();
    text.remove(settings.Data.thousandSeparator);
    if (!TryTextToFloat(text, settings, amount) && !TryTextToFloat(text, systemSettings, amount))
        return false;
    if (negative)
        amount = -amount;
    return true;
}

} // namespace

bool TryEncodeDate(int year, int month, int day, double& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    value = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, double& value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    value = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / 86400000.0;
    return true;
}

bool TryTextToFloat(const QString& text, const SpreadSheetFormatSettings& settings, double& value)
{
    const QChar decimal = settings.DecimalSeparator();
    QByteArray ascii;
    ascii.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isSpace(text[i]))
        ++i;
    qsizetype end = n;
    while (end > i && isSpace(text[end - 1]))
        --end;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ascii += static_cast<char>(text[i++].unicode());
    int mantissaDigits = 0;
    while (i < end && text[i].isDigit() && text[i].unicode() < 128) {
        ascii += static_cast<char>(text[i++].unicode());
        ++mantissaDigits;
    }
    if (i < end && text[i] == decimal) {
        ascii += '.';
        ++i;
        while (i < end && text[i].isDigit() && text[i].unicode() < 128) {
            ascii += static_cast<char>(text[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        while (i < end && text[i].isDigit() && text[i].unicode() < 128) {
            ascii += static_cast<char>(text[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;
    bool ok = false;
    const double result = QLocale::c().toDouble(QString::fromLatin1(ascii), &ok);
    if (!ok || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

bool TryTextToDateTime(const QString& text, const SpreadSheetFormatSettings& settings, double& value)
{
    const LocaleData& data = settings.Data;
    const QChar separator = data.dateSeparator;
    if (tryDateTimeWithSeparator(text, separator, data, value))
        return true;
    // Users type other separators than the locale's; try the usual alternatives in turn.
    QString alternatives;
    if (separator == u'-')
        alternatives = QStringLiteral("/");
    else if (separator == u'.')
        alternatives = QStringLiteral("/-");
    else if (separator == u'/')
        alternatives = QStringLiteral("-");
    for (const QChar alternative : alternatives)
        if (tryDateTimeWithSeparator(text, alternative, data, value))
            return true;
    return false;
}

bool TextToValue(const QString& text, const SpreadSheetFormatSettings& settings,
    const SpreadSheetFormatSettings& systemSettings, SpreadSheetCellValue& value)
{
    value = SpreadSheetCellValue();
    if (text.contains(u'=') || text.contains(u'"'))
        return false;
    if (text.isEmpty())
        return true;
    double number = 0;
    if (tryCurrency(text, settings, systemSettings, number)) {
        // Amounts beyond the fixed-point range would overflow it; they are kept as floats.
        if (std::abs(number) < kMaxCurrencyAmount) {
            value.type = cdtCurrency;
            value.currency = std::llround(number * 10000.0);
        } else {
            value.type = cdtFloat;
            value.number = number;
        }
        return true;
    }
    if (TryTextToFloat(text, settings, number) || TryTextToFloat(text, systemSettings, number)) {
        if (std::abs(number - std::trunc(number)) <= 1e-12)
            number = std::round(number);
        value.type = cdtFloat;
        value.number = number;
        return true;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.compare(sTrue.Text(), Qt::CaseInsensitive) == 0) {
        value.type = cdtBoolean;
        value.boolean = true;
        return true;
    }
    if (trimmed.compare(sFalse.Text(), Qt::CaseInsensitive) == 0) {
        value.type = cdtBoolean;
        value.boolean = false;
        return true;
    }
    if (TryTextToDateTime(text, settings, number) && number >= 0) {
        if (settings.DateTimeSystem == dts1904)
            number -= kDate1904Offset;
        value.type = cdtDateTime;
        value.number = number;
        return true;
    }
    return false;
}

} // namespace quorvel
