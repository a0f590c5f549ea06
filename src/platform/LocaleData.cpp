#include "platform/LocaleData.h"

#include <QLocale>

namespace quorvel {

namespace {

// Qt's date patterns use case to tell months from minutes; format codes use context instead.
QString fromQtPattern(const QString& pattern)
{
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype end = pattern.indexOf(u'\'', i + 1);
            const QString literal = pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (!literal.isEmpty())
                result += u'"' + literal + u'"';
            i = end < 0 ? pattern.size() : end;
        } else if (c == u'A' || c == u'a') {
            result += QStringLiteral("AMPM");
            if (i + 1 < pattern.size() && (pattern[i + 1] == u'P' || pattern[i + 1] == u'p'))
                ++i;
        } else if (c == u't') {
            // Qt's time zone marker has no counterpart in a format code.
            while (!result.isEmpty() && result.back() == u' ')
                result.chop(1);
        } else if (c == u'M') {
            result += u'm';
        } else if (c == u'H') {
            result += u'h';
        } else {
            result += c;
        }
    }
    return result.trimmed();
}

QChar firstNonLetter(const QString& pattern, const QString& letters, QChar fallback)
{
    for (const QChar c : pattern)
        if (!letters.contains(c.toLower()) && c != u'"')
            return c;
    return fallback;
}

QStringList names(const QLocale& locale, bool months, QLocale::FormatType type)
{
    QStringList list;
    if (months) {
        for (int m = 1; m <= 12; ++m)
            list << locale.standaloneMonthName(m, type);
    } else {
        for (int d = 0; d < 7; ++d)
            list << locale.dayName(d == 0 ? 7 : d, type);
    }
    return list;
}

LocaleData fromQLocale(const QLocale& locale)
{
    LocaleData data;
    data.name = locale.name();
    data.currencyString = locale.currencySymbol(QLocale::CurrencySymbol);
    data.decimalSeparator = locale.decimalPoint().isEmpty() ? u'.' : locale.decimalPoint().front();
    data.thousandSeparator = locale.groupSeparator().isEmpty() ? u',' : locale.groupSeparator().front();
    data.listSeparator = data.decimalSeparator == u',' ? u';' : u',';
    data.shortDateFormat = fromQtPattern(locale.dateFormat(QLocale::ShortFormat));
    data.longDateFormat = fromQtPattern(locale.dateFormat(QLocale::LongFormat));
    data.shortTimeFormat = fromQtPattern(locale.timeFormat(QLocale::ShortFormat));
    data.longTimeFormat = fromQtPattern(locale.timeFormat(QLocale::LongFormat));
    data.dateSeparator = firstNonLetter(data.shortDateFormat, QStringLiteral("dmy"), u'/');
    data.timeSeparator = firstNonLetter(data.longTimeFormat, QStringLiteral("hmnsapt "), u':');
    data.timeAMString = locale.amText();
    data.timePMString = locale.pmText();
    data.shortMonthNames = names(locale, true, QLocale::ShortFormat);
    data.longMonthNames = names(locale, true, QLocale::LongFormat);
    data.shortDayNames = names(locale, false, QLocale::ShortFormat);
    data.longDayNames = names(locale, false, QLocale::LongFormat);
    const QString money = locale.toCurrencyString(1.0);
    const bool symbolFirst = money.startsWith(data.currencyString);
    const bool spaced = money.contains(u' ') || money.contains(QChar(0x00A0));
    data.currencyFormat = symbolFirst ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    data.negCurrFormat = symbolFirst ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    return data;
}

} // namespace

LocaleData LocaleData::ForName(const QString& name)
{
    const QLocale locale = name.isEmpty() ? QLocale::system() : QLocale(name);
    LocaleData data = fromQLocale(locale);
    // The two locales the program is used in get the values their users see on Windows, so that
    // typed text means the same thing here as in files made there.
    if (data.name == u"en_US") {
        data.localeId = 1033;
        data.shortDateFormat = QStringLiteral("m/d/yyyy");
        data.longTimeFormat = QStringLiteral("h:mm:ss AMPM");
        data.shortTimeFormat = QStringLiteral("h:mm AMPM");
        data.currencyFormat = 0;
        data.negCurrFormat = 0;
    } else if (data.name == u"ru_RU") {
        data.localeId = 1049;
        data.shortDateFormat = QStringLiteral("dd.mm.yyyy");
        data.longTimeFormat = QStringLiteral("h:mm:ss");
        data.shortTimeFormat = QStringLiteral("h:mm");
        data.thousandSeparator = QChar(0x00A0);
        data.currencyFormat = 3;
        data.negCurrFormat = 8;
    } else if (locale.language() == QLocale::Russian) {
        data.localeId = 1049;
    } else if (locale.language() == QLocale::C) {
        return Invariant();
    }
    return data;
}

LocaleData LocaleData::Invariant()
{
    LocaleData data = fromQLocale(QLocale::c());
    data.name = QStringLiteral("C");
    data.localeId = 127;
    data.currencyString = QString(QChar(0x00A4));
    data.decimalSeparator = u'.';
    data.thousandSeparator = u',';
    data.listSeparator = u',';
    data.dateSeparator = u'/';
    data.timeSeparator = u':';
    data.shortDateFormat = QStringLiteral("mm/dd/yyyy");
    data.longDateFormat = QStringLiteral("dddd, dd mmmm yyyy");
    data.shortTimeFormat = QStringLiteral("hh:mm");
    data.longTimeFormat = QStringLiteral("hh:mm:ss");
    data.timeAMString = QStringLiteral("AM");
    data.timePMString = QStringLiteral("PM");
    data.currencyFormat = 0;
    data.negCurrFormat = 0;
    return data;
}

LocaleData LocaleData::System() { return ForName(QString()); }

} // namespace quorvel
