#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// The locale's number and date record: separators, currency, date/time patterns, names.
/// Patterns use the case-insensitive letters of spreadsheet format codes (d, m, y, h, n/m, s)
/// and "AMPM" for the 12-hour marker.
struct LocaleData {
    QString name; // "en_US", "ru_RU", ...
    int localeId = 1033;
    QString currencyString;
    int currencyFormat = 0;    // positive currency layout 0..3
    int negCurrFormat = 0;     // negative currency layout 0..15
    int currencyDecimals = 2;
    QChar thousandSeparator;
    QChar decimalSeparator;
    QChar dateSeparator;
    QChar timeSeparator;
    QChar listSeparator;
    QString shortDateFormat;
    QString longDateFormat;
    QString shortTimeFormat;
    QString longTimeFormat;
    QString timeAMString;
    QString timePMString;
    QStringList shortMonthNames; // 12
    QStringList longMonthNames;  // 12
    QStringList shortDayNames;   // 7, Sunday first
    QStringList longDayNames;    // 7, Sunday first
    int twoDigitYearCenturyWindow = 50;

    /// Locale data for a name such as "ru_RU"; an empty name means the user's locale.
    static LocaleData ForName(const QString& name);
    /// Language-neutral settings used by readers and writers of file formats.
    static LocaleData Invariant();
    static LocaleData System();
};

} // namespace quorvel
