// Formula text output: every token writes its text onto a string stack in postfix order, and an
// operation combines the texts of its operands.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "functions/SpreadSheetFunctions.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetValueText.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace quorvel {

namespace {

QString ChainText(const SpreadSheetFormulaToken* first, const SpreadSheetFormatSettings& settings)
{
    SpreadSheetFormulaTextStack stack;
    for (const SpreadSheetFormulaToken* token = first; token; token = token->Next())
        token->BuildText(stack, settings);
    return stack.join(QString());
}

// Items of a list, array or call: holders separated by the list separator, rows by the array one.
QString ItemsText(const SpreadSheetFormulaToken& parent, const SpreadSheetFormatSettings& settings)
{
    QString text;
    bool needsSeparator = false;
    for (const SpreadSheetFormulaToken* child = parent.ChildFirst(); child; child = child->Next()) {
        if (child->Kind() == tkArrayRowSeparator) {
            text += settings.ArraySeparator();
            needsSeparator = false;
            continue;
        }
        if (needsSeparator)
            text += settings.ListSeparator();
        text += ChainText(child->ChildFirst(), settings);
        needsSeparator = true;
    }
    return text;
}

// A chain built by other means than the parser may lack operands; it prints what it has.
QString Pop(SpreadSheetFormulaTextStack& stack)
{
    return stack.isEmpty() ? QString() : stack.takeLast();
}

QString LinkPrefix(const SpreadSheet3DReferenceCustomLink* link, const SpreadSheetFormatSettings& settings)
{
    return link ? link->Prefix(settings) : QString();
}

int AnchorRow(const SpreadSheetFormulaToken& token)
{
    return token.Owner() ? token.Owner()->AnchorRow() : 0;
}
int AnchorColumn(const SpreadSheetFormulaToken& token)
{
    return token.Owner() ? token.Owner()->AnchorColumn() : 0;
}

// ---------------------------------------------------------------------------------------------
// Number text with the patterns "0.##…" and "0.#####E+00": 15 significant decimal digits
// rounded half away from zero at the last place shown, trailing zeros of the fraction dropped.

struct DecimalDigits {
    std::string digits; // the first digit is not zero (unless the value is 0)
    int exponent = 0; // power of ten of the first digit
};

DecimalDigits ToDecimal(double magnitude)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    const std::string text(buffer);
    const std::size_t e = text.find('e');
    DecimalDigits result;
    result.digits = text.substr(0, 1) + text.substr(2, e - 2);
    result.exponent = std::stoi(text.substr(e + 1));
    return result;
}

// Keeps the first `count` digits (count may be 0 or less), rounding half up.
void RoundDigits(DecimalDigits& decimal, int count)
{
    if (count >= static_cast<int>(decimal.digits.size()))
        return;
    if (count < 0) {
        decimal.digits.clear();
        return;
    }
    const bool roundUp = decimal.digits[static_cast<std::size_t>(count)] >= '5';
    decimal.digits.resize(static_cast<std::size_t>(count));
    if (!roundUp)
        return;
    int i = count - 1;
    while (i >= 0 && decimal.digits[static_cast<std::size_t>(i)] == '9')
        decimal.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++decimal.digits[static_cast<std::size_t>(i)];
    } else {
        decimal.digits.insert(decimal.digits.begin(), '1');
        ++decimal.exponent;
    }
}

QString TrimmedFraction(std::string fraction)
{
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return QString::fromLatin1(fraction.data(), static_cast<qsizetype>(fraction.size()));
}

QString FormatFixed(double value, int decimals, QChar decimalSeparator)
{
    DecimalDigits decimal = ToDecimal(std::fabs(value));
    if (value != 0)
        RoundDigits(decimal, decimal.exponent + 1 + decimals);
    std::string integer;
    std::string fraction;
    if (decimal.exponent >= 0) {
        const auto integerLength = static_cast<std::size_t>(decimal.exponent) + 1;
        integer = decimal.digits.substr(0, std::min(integerLength, decimal.digits.size()));
        integer.resize(integerLength, '0');
        if (decimal.digits.size() > integerLength)
            fraction = decimal.digits.substr(integerLength);
    } else {
        integer = "0";
        fraction = std::string(static_cast<std::size_t>(-decimal.exponent - 1), '0') + decimal.digits;
    }
    const QString fractionText = TrimmedFraction(fraction);
    const bool isZero = integer.find_first_not_of('0') == std::string::npos && fractionText.isEmpty();
    QString text = value < 0 && !isZero ? QStringLiteral("-") : QString();
    text += isZero ? QStringLiteral("0") : QString::fromLatin1(integer.data(), static_cast<qsizetype>(integer.size()));
    if (!fractionText.isEmpty())
        text += decimalSeparator + fractionText;
    return text;
}

QString FormatScientific(double value, QChar decimalSeparator)
{
    DecimalDigits decimal = ToDecimal(std::fabs(value));
    RoundDigits(decimal, 6);
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QChar(decimal.digits[0]);
    const QString fraction = TrimmedFraction(decimal.digits.substr(1));
    if (!fraction.isEmpty())
        text += decimalSeparator + fraction;
    text += decimal.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QStringLiteral("%1").arg(std::abs(decimal.exponent), 2, 10, QChar(u'0'));
    return text;
}

QString FloatText(double value, const SpreadSheetFormatSettings& settings)
{
    if (!std::isfinite(value))
        return FloatToText(value, settings.Data);
    const QChar separator = settings.DecimalSeparator();
    const double magnitude = std::fabs(value);
    const bool scientific = magnitude > 1E11 || (magnitude > 0 && magnitude < 1E-10)
        || (magnitude < 1E-8 && FormatFixed(value, 12, separator).size() > 11);
    if (scientific)
        return FormatScientific(value, separator);
    // Ten significant digits in all; std::nearbyint rounds halves to even.
    const int integerDigits = static_cast<int>(QString::number(static_cast<qint64>(std::nearbyint(magnitude))).size());
    return FormatFixed(value, std::max(0, 10 - integerDigits), separator);
}

QString QuotedText(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

// The unary plus has no spelling of its own by default; it prints as the plus sign so that the
// text reads back the same.
QString OperationText(SpreadSheetFormulaOperation operation, const SpreadSheetFormatSettings& settings)
{
    const QString& text = settings.Operation(operation);
    return operation == opUplus && text.isEmpty() ? settings.Operation(opAdd) : text;
}

void Validate(const SpreadSheetFormulaToken* first, int level, int& referenceCount, const QString& formulaText)
{
    int chainLength = 0;
    for (const SpreadSheetFormulaToken* token = first; token; token = token->Next()) {
        const SpreadSheetFormulaTokenKind kind = token->Kind();
        if (IsReferenceKind(kind))
            ++referenceCount;
        if (++chainLength > kMaxFormulaChainLength || referenceCount > kMaxFormulaReferenceCount)
            throw ESpreadSheetFormulaIsTooLongError(formulaText);
        if (!token->ChildFirst())
            continue;
        // Argument holders and the list of a top-level union add no level of their own.
        const int childLevel = kind == tkHolder || kind == tkList ? level : level + 1;
        if (childLevel > kMaxFormulaNestingLevel)
            throw ESpreadSheetFormulaIsTooLongError(formulaText);
        Validate(token->ChildFirst(), childLevel, referenceCount, formulaText);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Formula

void SpreadSheetCustomFormula::Validate() const
{
    const QString& prefix = FormatSettings().Operation(opEQ);
    const qsizetype length = sourceText_.size() - (sourceText_.startsWith(prefix) ? prefix.size() : 0);
    const QString text = sourceText_.isEmpty() ? AsText() : sourceText_;
    if (length > kMaxFormulaLength)
        throw ESpreadSheetFormulaIsTooLongError(text);
    int referenceCount = 0;
    quorvel::Validate(tokens_, 0, referenceCount, text);
}

QString SpreadSheetCustomFormula::AsText() const
{
    const SpreadSheetFormatSettings& settings = FormatSettings();
    const QString& prefix = settings.Operation(opEQ);
    if (errorIndex_ > 0)
        return sourceText_.startsWith(prefix) ? sourceText_ : prefix + sourceText_;
    return prefix + ChainText(tokens_, settings);
}

// ---------------------------------------------------------------------------------------------
// Tokens

void SpreadSheetFormulaToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    // A plain token holds one item: its child chain.
    stack.append(ChainText(ChildFirst(), settings));
}

void SpreadSheetFormulaNullToken::BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(QString());
}

void SpreadSheetFormulaStringValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(QuotedText(value_));
}

void SpreadSheetFormulaTextValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(value_);
}

void SpreadSheetFormulaVariantToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    switch (value_.Type()) {
    case vtInteger:
        stack.append(QString::number(value_.Integer()));
        break;
    case vtFloat:
        stack.append(FloatText(value_.Float(), settings));
        break;
    case vtCurrency:
        stack.append(FloatText(static_cast<double>(value_.Currency()) / 10000, settings));
        break;
    case vtDateTime:
        stack.append(DateTimeToText(value_.Float(), settings));
        break;
    case vtText:
        stack.append(QuotedText(value_.Text()));
        break;
    case vtBoolean:
        stack.append(value_.Boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        break;
    default:
        stack.append(QString());
        break;
    }
}

void SpreadSheetFormulaBooleanValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(value_ ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

void SpreadSheetFormulaIntegerValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(QString::number(value_));
}

void SpreadSheetFormulaFloatValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(FloatText(value_, settings));
}

void SpreadSheetFormulaDateTimeValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(DateTimeToText(value_, settings));
}

void SpreadSheetFormulaCurrencyValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(FloatText(static_cast<double>(value_) / 10000, settings));
}

void SpreadSheetFormulaOperationToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    const QString text = OperationText(operation_, settings);
    switch (operation_) {
    case opUplus:
    case opUminus:
        stack.append(text + Pop(stack));
        break;
    case opPercent:
        stack.append(Pop(stack) + text);
        break;
    case opParen:
        stack.append(u'(' + Pop(stack) + u')');
        break;
    default: {
        const QString right = Pop(stack);
        const QString left = Pop(stack);
        stack.append(left + text + right);
        break;
    }
    }
}

void SpreadSheetFormulaErrorValueToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const
{
    stack.append(ErrorCodeToText(errorCode_));
}

void SpreadSheetFormulaDefinedNameToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(LinkPrefix(link_.get(), settings) + value_);
}

void SpreadSheetListToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(ItemsText(*this, settings));
}

void SpreadSheetFormulaArrayToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(u'{' + ItemsText(*this, settings) + u'}');
}

void SpreadSheetFormulaArrayRowSeparator::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(QString(settings.ArraySeparator()));
}

void SpreadSheetFormulaReferenceToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(SpreadSheetReferenceAsString::Build(
        LinkPrefix(Link(), settings), row_, column_, AnchorRow(*this), AnchorColumn(*this), settings.R1C1Reference));
}

void SpreadSheetFormulaAreaReferenceToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(SpreadSheetReferenceAsString::BuildArea(LinkPrefix(Link(), settings), row_, column_, QString(), row2_,
        column2_, AnchorRow(*this), AnchorColumn(*this), settings.R1C1Reference));
}

void SpreadSheetFormula3DReferenceToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    SpreadSheetFormulaReferenceToken::BuildText(stack, settings);
}

void SpreadSheetFormula3DAreaReferenceToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(SpreadSheetReferenceAsString::BuildArea(LinkPrefix(link_.get(), settings), row_, column_,
        LinkPrefix(link2_.get(), settings), row2_, column2_, AnchorRow(*this), AnchorColumn(*this),
        settings.R1C1Reference));
}

void SpreadSheetFormulaFunctionToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    QString text;
    if (information_) {
        // Only functions that the XLS format does not number carry the prefix in files.
        if (settings.ExpandFunctionPrefixes && information_->PrefixID() == kPrefixXlfn
            && information_->Token() == kNoXlsFunctionToken)
            text = information_->GetPrefix();
        text += information_->Name();
    }
    stack.append(text + u'(' + ItemsText(*this, settings) + u')');
}

void SpreadSheetFormulaParenthesesToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(u'(' + ChainText(ChildFirst(), settings) + u')');
}

void SpreadSheetFormulaUnknownFunctionToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(LinkPrefix(link_.get(), settings) + name_ + u'(' + ItemsText(*this, settings) + u')');
}

void SpreadSheetFormulaUnknownNameToken::BuildText(
    SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const
{
    stack.append(LinkPrefix(link_.get(), settings) + name_);
}

} // namespace quorvel
