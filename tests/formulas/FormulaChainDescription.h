#pragma once

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "functions/SpreadSheetFunctions.h"

#include <QStringList>

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace quorvel::test {

QString DescribeChain(const SpreadSheetFormulaToken* first, const SpreadSheetFormatSettings& settings);

inline QString OperationName(SpreadSheetFormulaOperation operation)
{
    static const char* const kNames[kFormulaOperationCount] = { "+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">",
        "<>", "isect", "union", "range", "u+", "u-", "%", "paren" };
    return QString::fromLatin1(kNames[static_cast<int>(operation)]);
}

// Items of a call, array or list: ", " between items, " ; " for a row separator.
inline QString DescribeItems(const SpreadSheetFormulaToken& parent, const SpreadSheetFormatSettings& settings)
{
    QString text;
    bool needsSeparator = false;
    for (const SpreadSheetFormulaToken* child = parent.ChildFirst(); child; child = child->Next()) {
        if (child->Kind() == tkArrayRowSeparator) {
            text += QStringLiteral(" ; ");
            needsSeparator = false;
            continue;
        }
        if (needsSeparator)
            text += QStringLiteral(", ");
        text += DescribeChain(child->ChildFirst(), settings);
        needsSeparator = true;
    }
    return text;
}

/// One token of a postfix chain: numbers by value, operations by name (unary ones as "u-", "u+"),
/// calls and groups with their contents, references as their text from the formula's anchor.
inline QString DescribeToken(const SpreadSheetFormulaToken& token, const SpreadSheetFormatSettings& settings)
{
    switch (token.Kind()) {
    case tkOperation:
        return OperationName(static_cast<const SpreadSheetFormulaOperationToken&>(token).Operation());
    case tkIntegerValue:
        return QString::number(static_cast<const SpreadSheetFormulaIntegerValueToken&>(token).Value());
    case tkFloatValue:
        // As many digits as the text output keeps.
        return QString::number(static_cast<const SpreadSheetFormulaFloatValueToken&>(token).Value(), 'g', 10);
    case tkNull:
        return QStringLiteral("null");
    case tkFunction: {
        const auto& function = static_cast<const SpreadSheetFormulaFunctionToken&>(token);
        return function.Information()->Name() + u'(' + DescribeItems(token, settings) + u')';
    }
    case tkUnknownFunction: {
        const auto& function = static_cast<const SpreadSheetFormulaUnknownFunctionToken&>(token);
        const QString prefix = function.Link() ? function.Link()->Prefix(settings) : QString();
        return u'?' + prefix + function.Name() + u'(' + DescribeItems(token, settings) + u')';
    }
    case tkUnknownName: {
        const auto& name = static_cast<const SpreadSheetFormulaUnknownNameToken&>(token);
        return u'?' + (name.Link() ? name.Link()->Prefix(settings) : QString()) + name.Name();
    }
    case tkArray:
        return u'{' + DescribeItems(token, settings) + u'}';
    case tkList:
        return QStringLiteral("list(") + DescribeItems(token, settings) + u')';
    case tkParentheses:
        return u'(' + DescribeChain(token.ChildFirst(), settings) + u')';
    default: {
        SpreadSheetFormulaTextStack stack;
        token.BuildText(stack, settings);
        return stack.join(QString());
    }
    }
}

/// The postfix chain, one token description per entry, separated by spaces.
inline QString DescribeChain(const SpreadSheetFormulaToken* first, const SpreadSheetFormatSettings& settings)
{
    QStringList parts;
    for (const SpreadSheetFormulaToken* token = first; token; token = token->Next())
        parts << DescribeToken(*token, settings);
    return parts.join(u' ');
}

} // namespace quorvel::test
