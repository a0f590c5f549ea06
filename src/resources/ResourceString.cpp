#include "resources/ResourceString.h"

#include <QFile>
#include <QHash>
#include <QStringList>

namespace quorvel {

namespace {

struct Translation {
    int localeId = 0;
    QHash<QString, QString> texts;
};

Translation& active()
{
    static Translation translation;
    return translation;
}

// Values are written key="text"; the quotes are the first and the last of the value, so a text
// may itself contain quotes. A line break inside a text is written \r or \n, a backslash \\.
QString unquote(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.mid(1, value.size() - 2);
    if (!value.contains(u'\\'))
        return value;
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
        if (c == u'\\' && (next == u'r' || next == u'n' || next == u'\\')) {
            result += next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : QChar(u'\\');
            ++i;
            continue;
        }
        result += c;
    }
    return result;
}

} // namespace

QString ResourceString::Text() const { return Localizer::Translate(key, defaultText); }

QString ResourceString::Format(std::initializer_list<QString> args) const { return FormatPlaceholders(Text(), args); }

QString FormatPlaceholders(const QString& pattern, std::initializer_list<QString> args)
{
    QString result;
    result.reserve(pattern.size() + 16);
    auto next = args.begin();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'%' && i + 1 < pattern.size()) {
            const QChar spec = pattern[i + 1];
            if (spec == u'%') {
                result += u'%';
                ++i;
                continue;
            }
            if (spec == u's' || spec == u'd') {
                if (next != args.end())
                    result += *next++;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

bool Localizer::Activate(const QString& iniText, int localeId)
{
    const QString wanted = QString::number(localeId);
    QHash<QString, QString> texts;
    bool inSection = false;
    bool found = false;
    const QStringList lines = iniText.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            inSection = trimmed.mid(1, trimmed.size() - 2).trimmed() == wanted;
            found = found || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        texts.insert(line.left(eq).trimmed(), unquote(line.mid(eq + 1)));
    }
    if (!found)
        return false;
    active().localeId = localeId;
    active().texts = std::move(texts);
    return true;
}

bool Localizer::ActivateShipped(int localeId)
{
    QFile file(QStringLiteral(":/translations/Quorvel.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return Activate(QString::fromUtf8(file.readAll()), localeId);
}

void Localizer::Reset()
{
    active().localeId = 0;
    active().texts.clear();
}

int Localizer::ActiveLocaleId() { return active().localeId; }

QString Localizer::Translate(const char* key, const char* defaultText)
{
    const auto& texts = active().texts;
    if (!texts.isEmpty()) {
        const auto it = texts.constFind(QLatin1StringView(key));
        if (it != texts.cend())
            return *it;
    }
    return QString::fromUtf8(defaultText);
}

} // namespace quorvel
