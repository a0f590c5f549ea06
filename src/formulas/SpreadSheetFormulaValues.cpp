#include "formulas/SpreadSheetFormulaValues.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTextToValue.h"
#include "model/SpreadSheetValueText.h"

#include <QCollator>
#include <QDate>
#include <QLocale>

#include <memory>

namespace quorvel {

namespace {

// Digits only, no sign, not 0, small enough to be a day, a month or a year.
bool readWholeNumber(const QString& text, int& number)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    number = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number != 0;
}

// Thousand separators stand between groups of exactly three digits and never first.
bool removeThousandSeparators(QString& integerPart, QChar separator)
{
    qsizetype previous = -1;
    for (qsizetype i = 0; i < integerPart.size(); ++i) {
        if (integerPart[i] != separator)
            continue;
        if (i == 0 || (previous >= 0 && i - previous != 4))
            return false;
        previous = i;
    }
    if (previous < 0)
        return true;
    if (integerPart.size() - previous != 4)
        return false;
    integerPart.remove(separator);
    return true;
}

// Collation is built once per locale: it is the costliest part of comparing texts.
const QCollator& collatorFor(const QString& localeName)
{
    static QString cachedName;
    static std::unique_ptr<QCollator> collator;
    if (!collator || cachedName != localeName) {
        collator = std::make_unique<QCollator>(localeName.isEmpty() ? QLocale() : QLocale(localeName));
        collator->setCaseSensitivity(Qt::CaseInsensitive);
        cachedName = localeName;
    }
    return *collator;
}

int sign(double value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// Neither side is text: empty and null stand for 0, Booleans sort after every number.
int compareNonText(const SpreadSheetVariant& left, const SpreadSheetVariant& right)
{
    if (left.IsBoolean() || right.IsBoolean()) {
        if (!right.IsBoolean())
            return 1;
        if (!left.IsBoolean())
            return -1;
        return static_cast<int>(left.Boolean()) - static_cast<int>(right.Boolean());
    }
    return sign(left.AsDouble() - right.AsDouble());
}

int compareTextWith(const QString& text, const SpreadSheetVariant& other, const SpreadSheetFormatSettings& settings)
{
    if (other.IsEmpty())
        return text.isEmpty() ? 0 : 1;
    if (other.IsNumeric() || other.IsNull())
        return 1;
    if (other.IsBoolean())
        return -1;
    const int order = collatorFor(settings.Data.name).compare(text.toCaseFolded(), other.Text().toCaseFolded());
    return sign(order);
}

} // namespace

double DayCountToSerial(double dayCount, SpreadSheetDateTimeSystem system)
{
    if (system == dts1904)
        return dayCount - kDate1904Offset;
    return dayCount >= 1 && dayCount < 61 ? dayCount - 1 : dayCount;
}

bool TryFormattedTextToNumber(const QString& source, const SpreadSheetFormatSettings& settings, double& number)
{
    QString text = source.trimmed();
    const QString& symbol = settings.CurrencyFormat;
    bool negative = false;
    if (const qsizetype minus = text.indexOf(u'-'); minus >= 0) {
        // A sign stands first or last, or next to the currency symbol ("-$5", "$-5", "5-"); a
        // minus between digits ("3-2024") is no sign, and such a text is left to the date readers.
        const auto signPlace = [&](QStringView part) { return part.isEmpty() || part == symbol; };
        if (!signPlace(QStringView(text).left(minus).trimmed()) && !signPlace(QStringView(text).mid(minus + 1).trimmed()))
            return false;
        negative = true;
        text.remove(minus, 1);
        text = text.trimmed();
    }
    if (text.size() >= 2 && text.startsWith(u'(') && text.endsWith(u')')) {
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    if (!symbol.isEmpty() && (text.startsWith(symbol) || text.endsWith(symbol))) {
        text = (text.startsWith(symbol) ? text.mid(symbol.size()) : text.left(text.size() - symbol.size())).trimmed();
        if (text.isEmpty() || text.contains(symbol))
            return false;
    }
    const qsizetype decimal = text.indexOf(settings.DecimalSeparator());
    QString integerPart = decimal >= 0 ? text.left(decimal) : text;
    if (!removeThousandSeparators(integerPart, settings.Data.thousandSeparator))
        return false;
    text = integerPart + (decimal >= 0 ? text.mid(decimal) : QString());
    if (!TryTextToFloat(text, settings, number))
        return false;
    if (negative)
        number = -number;
    return true;
}

bool TryMonthYearOrDayMonthToNumber(const QString& text, const SpreadSheetFormatSettings& settings, double& number)
{
    const QChar localeSeparator = settings.Data.dateSeparator;
    QString separators(localeSeparator);
    if (localeSeparator == u'-')
        separators += u'/';
    else if (localeSeparator == u'.')
        separators += QStringLiteral("/-");
    else if (localeSeparator == u'/')
        separators += u'-';
    for (const QChar separator : separators) {
        const qsizetype split = text.indexOf(separator);
        if (split < 0)
            continue;
        int first = 0;
        int second = 0;
        if (!readWholeNumber(text.left(split).trimmed(), first) || !readWholeNumber(text.mid(split + 1).trimmed(), second))
            return false;
        int year = QDate::currentDate().year();
        int month = 0;
        int day = 1;
        if (first <= 12 && second > 12) {
            month = first;
            if (second <= 29)
                year = 2000 + second;
            else if (second <= 99)
                year = 1900 + second;
            else if (second >= 1900)
                year = second;
            else
                return false;
        } else {
            const QString& pattern = settings.Data.shortDateFormat;
            const qsizetype dayAt = pattern.indexOf(u'd', 0, Qt::CaseInsensitive);
            const qsizetype monthAt = pattern.indexOf(u'm', 0, Qt::CaseInsensitive);
            const bool dayFirst = dayAt >= 0 && (monthAt < 0 || dayAt < monthAt);
            day = dayFirst ? first : second;
            month = dayFirst ? second : first;
        }
        double dayCount = 0;
        if (!TryEncodeDate(year, month, day, dayCount))
            return false;
        number = DayCountToSerial(dayCount, settings.DateTimeSystem);
        return true;
    }
    return false;
}

bool TryFormulaTextToNumber(const QString& text, const SpreadSheetFormatSettings& settings, double& number)
{
    if (TryTextToFloat(text, settings, number) || TryFormattedTextToNumber(text, settings, number))
        return true;
    double dayCount = 0;
    if (TryTextToDateTime(text, settings, dayCount)) {
        number = DayCountToSerial(dayCount, settings.DateTimeSystem);
        return true;
    }
    return TryMonthYearOrDayMonthToNumber(text, settings, number);
}

SpreadSheetFormulaErrorCode ConvertValueToNumeric(const SpreadSheetVariant& value,
    const SpreadSheetFormatSettings& settings, bool canConvertText, bool withoutBoolean, double& number)
{
    switch (value.Type()) {
    case vtEmpty:
    case vtNull:
        number = 0;
        return ecNone;
    case vtBoolean:
        if (withoutBoolean)
            return ecValue;
        number = value.Boolean() ? 1 : 0;
        return ecNone;
    case vtText:
        return canConvertText && TryFormulaTextToNumber(value.Text(), settings, number) ? ecNone : ecValue;
    default:
        number = value.AsDouble();
        return ecNone;
    }
}

QString FormulaValueToText(const SpreadSheetVariant& value, const SpreadSheetFormatSettings& settings)
{
    switch (value.Type()) {
    case vtEmpty:
    case vtNull:
        return {};
    case vtInteger:
        return QString::number(value.Integer());
    case vtText:
        return value.Text();
    case vtBoolean:
        return (value.Boolean() ? sTrue : sFalse).Text().toUpper();
    default:
        return FloatToText(value.AsDouble(), settings.Data);
    }
}

int CompareFormulaValues(
    const SpreadSheetVariant& left, const SpreadSheetVariant& right, const SpreadSheetFormatSettings& settings)
{
    if (left.IsText())
        return compareTextWith(left.Text(), right, settings);
    if (right.IsText())
        return -compareTextWith(right.Text(), left, settings);
    return compareNonText(left, right);
}

} // namespace quorvel
