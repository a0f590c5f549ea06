#pragma once

#include "model/SpreadSheetTypes.h"
#include "platform/LocaleData.h"

#include <QString>

#include <array>

namespace quorvel {

enum class SpreadSheetFormulaOperation : std::uint8_t {
    opAdd,
    opSub,
    opMul,
    opDiv,
    opPower,
    opConcat,
    opLT,
    opLE,
    opEQ,
    opGE,
    opGT,
    opNE,
    opIsect,
    opUnion,
    opRange,
    opUplus,
    opUminus,
    opPercent,
    opParen,
};
using enum SpreadSheetFormulaOperation;
inline constexpr int kFormulaOperationCount = 19;

/// Number, date and formula settings: the locale record plus separators, operator spellings,
/// reference style and date system used by the formula engine.
class SpreadSheetFormatSettings {
public:
    SpreadSheetFormatSettings();
    explicit SpreadSheetFormatSettings(LocaleData data);
    /// The settings of the invariant locale, for formulas and results that belong to no workbook.
    static const SpreadSheetFormatSettings& Invariant();

    LocaleData Data;
    SpreadSheetDateTimeSystem DateTimeSystem = dts1900;
    bool R1C1Reference = false;
    bool ExpandExternalLinks = false;
    /// Functions that files newer than the XLS format prefix are printed with "_xlfn.".
    bool ExpandFunctionPrefixes = false;
    QString CurrencyFormat;

    QChar DecimalSeparator() const { return Data.decimalSeparator; }
    QChar ListSeparator() const { return listSeparator_; }
    QChar ArraySeparator() const { return arraySeparator_; }
    const QString& Operation(SpreadSheetFormulaOperation op) const { return operations_[static_cast<int>(op)]; }
    const QString& BreakChars() const { return breakChars_; }
    bool IsBreakChar(QChar c) const { return breakChars_.contains(c); }

    void SetDecimalSeparator(QChar c);
    void SetListSeparator(QChar c);
    void SetArraySeparator(QChar c);
    void SetOperation(SpreadSheetFormulaOperation op, const QString& text);
    void SetR1C1Reference(bool value);
    /// Takes the separators a workbook uses from the locale record.
    void ApplyLocale(LocaleData data);

private:
    void UpdateBreakChars();

    QChar listSeparator_ = u',';
    QChar arraySeparator_ = u';';
    std::array<QString, kFormulaOperationCount> operations_;
    QString breakChars_;
};

} // namespace quorvel
