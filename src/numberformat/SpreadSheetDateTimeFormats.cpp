#include "numberformat/SpreadSheetDateTimeFormats.h"

#include "platform/LocaleData.h"

#include <cmath>

namespace quorvel {

QString ConvertDateTimeDisplayFormat(const QString& pattern, const LocaleData& data, bool hasFraction)
{
    QString source = pattern;
    source.replace(QStringLiteral("AMPM"), QStringLiteral("AM/PM"), Qt::CaseInsensitive);
    QString result;
    for (qsizetype i = 0; i < source.size();) {
        const QChar c = source[i];
        const QChar lower = c.toLower();
        if (source.mid(i, 5).compare(QStringLiteral("AM/PM"), Qt::CaseInsensitive) == 0) {
            result += source.mid(i, 5);
            i += 5;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = source.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? source.size() : end + 1;
            result += source.mid(i, stop - i);
            i = stop;
            continue;
        }
        qsizetype run = 1;
        while (i + run < source.size() && source[i + run].toLower() == lower)
            ++run;
        switch (lower.unicode()) {
        case u'c':
            result += ConvertDateTimeDisplayFormat(data.shortDateFormat, data);
            if (hasFraction)
                result += u' ' + ConvertDateTimeDisplayFormat(data.longTimeFormat, data);
            break;
        case u'd':
            if (run <= 4)
                result += QString(run, u'd');
            else if (run == 5)
                result += ConvertDateTimeDisplayFormat(data.shortDateFormat, data);
            else
                result += ConvertDateTimeDisplayFormat(data.longDateFormat, data);
            break;
        case u'n':
            result += QString(run, u'm');
            break;
        case u't':
            result += run == 1 ? QStringLiteral("h:mm") : QStringLiteral("h:mm:ss");
            break;
        case u'z':
            if (!result.isEmpty() && !result.back().isDigit())
                result.chop(1);
            result += u'.' + QString(run, u'0');
            break;
        default:
            result += source.mid(i, run);
            break;
        }
        i += run;
    }
    return result;
}

QString DefaultDateTimeFormatCode(double value, const LocaleData& data)
{
    const double day = std::trunc(value);
    const bool hasFraction = value != day;
    if (!hasFraction && day != 0)
        return ConvertDateTimeDisplayFormat(data.shortDateFormat, data);
    if (day != 0)
        return ConvertDateTimeDisplayFormat(QStringLiteral("c"), data, true);
    return ConvertDateTimeDisplayFormat(data.longTimeFormat, data);
}

} // namespace quorvel
