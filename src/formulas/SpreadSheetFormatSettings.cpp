#include "formulas/SpreadSheetFormatSettings.h"

namespace quorvel {

namespace {

constexpr std::array<const char*, kFormulaOperationCount> kDefaultOperations
    = { "+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">", "<>", " ", ",", ":", "", "-", "%", "" };

} // namespace

SpreadSheetFormatSettings::SpreadSheetFormatSettings()
    : SpreadSheetFormatSettings(LocaleData::Invariant())
{
}

const SpreadSheetFormatSettings& SpreadSheetFormatSettings::Invariant()
{
    static const SpreadSheetFormatSettings settings;
    return settings;
}

SpreadSheetFormatSettings::SpreadSheetFormatSettings(LocaleData data)
{
    for (int i = 0; i < kFormulaOperationCount; ++i)
        operations_[i] = QString::fromLatin1(kDefaultOperations[i]);
    ApplyLocale(std::move(data));
}

void SpreadSheetFormatSettings::ApplyLocale(LocaleData data)
{
    Data = std::move(data);
    CurrencyFormat = Data.currencyString;
    QChar list = Data.listSeparator;
    if (list == Data.decimalSeparator)
        list = Data.decimalSeparator == u',' ? u';' : u',';
    listSeparator_ = list;
    arraySeparator_ = listSeparator_ == u';' ? u':' : u';';
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::SetDecimalSeparator(QChar c)
{
    Data.decimalSeparator = c;
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::SetListSeparator(QChar c)
{
    listSeparator_ = c;
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::SetArraySeparator(QChar c)
{
    arraySeparator_ = c;
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::SetOperation(SpreadSheetFormulaOperation op, const QString& text)
{
    operations_[static_cast<int>(op)] = text;
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::SetR1C1Reference(bool value)
{
    R1C1Reference = value;
    UpdateBreakChars();
}

void SpreadSheetFormatSettings::UpdateBreakChars()
{
    QString chars = QStringLiteral("\t\n\r$\"!:'(){}");
    chars += arraySeparator_;
    chars += listSeparator_;
    if (!R1C1Reference)
        chars += QStringLiteral("[]");
    for (const QString& op : operations_)
        if (op.size() == 1)
            chars += op;
    breakChars_.clear();
    for (const QChar c : chars)
        if (!breakChars_.contains(c))
            breakChars_ += c;
}

} // namespace quorvel
