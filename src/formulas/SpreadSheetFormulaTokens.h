#pragma once

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetReferences.h"
#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCustomFormula;
class SpreadSheetFormulaResult;
class SpreadSheetFunctionInfo;
class SpreadSheetTableView;
class SpreadSheetVector;

/// Rows x columns of what a token stands for.
struct SpreadSheetFormulaTokenDimension {
    int RowCount = 1;
    int ColumnCount = 1;
    bool operator==(const SpreadSheetFormulaTokenDimension&) const = default;
};

/// The concrete class of a token, for the parser and the evaluator to branch on without casts.
enum class SpreadSheetFormulaTokenKind : std::uint8_t {
    tkHolder, // a plain token: the holder of one argument or array item
    tkNull,
    tkStringValue,
    tkTextValue,
    tkVariant,
    tkBooleanValue,
    tkIntegerValue,
    tkFloatValue,
    tkCurrencyValue,
    tkDateTimeValue,
    tkOperation,
    tkErrorValue,
    tkDefinedName,
    tkList,
    tkArray,
    tkArrayRowSeparator,
    tkReference,
    tkAreaReference,
    tk3DReference,
    tk3DAreaReference,
    tkFunction,
    tkParentheses,
    tkUnknownFunction,
    tkUnknownName,
};
using enum SpreadSheetFormulaTokenKind;

/// The four reference classes: a cell, an area, and both on a linked sheet.
inline bool IsReferenceKind(SpreadSheetFormulaTokenKind kind)
{
    return kind == tkReference || kind == tkAreaReference || kind == tk3DReference || kind == tk3DAreaReference;
}

/// The text stack used when a token chain prints itself in postfix order.
using SpreadSheetFormulaTextStack = QStringList;

// ---------------------------------------------------------------------------------------------
// Links of 3-D references
// ---------------------------------------------------------------------------------------------

/// Where a 3-D reference points: a sheet of this workbook, the sheet a formula outside the grid
/// follows, or a sheet of another workbook. A link to a sheet that has been deleted answers as
/// the invalid object: the reference evaluates to "#REF!" and prints "#REF!".
class SpreadSheet3DReferenceCustomLink {
public:
    virtual ~SpreadSheet3DReferenceCustomLink() = default;
    virtual std::unique_ptr<SpreadSheet3DReferenceCustomLink> Clone() const = 0;
    /// The sheet the link reaches for `formula`; null when it reaches none.
    virtual SpreadSheetTableView* View(const SpreadSheetCustomFormula* formula) const = 0;
    virtual bool IsInvalid() const { return false; }
    /// True for links that only follow the default sheet; range folding prefers an explicit link.
    virtual bool IsAuto() const { return false; }
    /// The prefix written before the reference ("Sheet2!", "'My Sheet'!", "#REF!", "[1]Data!").
    virtual QString Prefix(const SpreadSheetFormatSettings& settings) const = 0;
};

/// A sheet of this workbook, or the invalid object once the sheet is gone (or when built from null).
class SpreadSheet3DReferenceLink final : public SpreadSheet3DReferenceCustomLink {
public:
    explicit SpreadSheet3DReferenceLink(SpreadSheetTableView* view);
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> Clone() const override;
    SpreadSheetTableView* View(const SpreadSheetCustomFormula* formula) const override;
    bool IsInvalid() const override;
    QString Prefix(const SpreadSheetFormatSettings& settings) const override;

private:
    SpreadSheetTableView* view_;
    std::weak_ptr<const void> alive_;
};

/// The default sheet of formulas that live outside a sheet: the formula's own sheet if it has one,
/// otherwise the workbook's active sheet. It prints nothing.
class SpreadSheet3DReferenceAutoLink final : public SpreadSheet3DReferenceCustomLink {
public:
    explicit SpreadSheet3DReferenceAutoLink(SpreadSheet* workbook);
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> Clone() const override;
    SpreadSheetTableView* View(const SpreadSheetCustomFormula* formula) const override;
    bool IsAuto() const override { return true; }
    QString Prefix(const SpreadSheetFormatSettings&) const override { return {}; }

private:
    SpreadSheet* workbook_;
};

/// A link to another workbook, named by its text.
class SpreadSheet3DReferenceCustomExternalLink : public SpreadSheet3DReferenceCustomLink {
public:
    explicit SpreadSheet3DReferenceCustomExternalLink(QString name)
        : name_(std::move(name))
    {
    }
    const QString& Name() const { return name_; }
    SpreadSheetTableView* View(const SpreadSheetCustomFormula*) const override { return nullptr; }

protected:
    QString name_;
};

/// Sheet `sheetName` of external workbook `linkIndex` (1-based into the workbook's external links).
/// Its data is not at hand, so references through it evaluate to "#REF!".
class SpreadSheet3DExternalReferenceLink final : public SpreadSheet3DReferenceCustomExternalLink {
public:
    SpreadSheet3DExternalReferenceLink(int linkIndex, QString target, QString sheetName);
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> Clone() const override;
    int LinkIndex() const { return linkIndex_; }
    const QString& SheetName() const { return sheetName_; }
    /// "[n]Sheet!" or, when the settings expand external links, "'[target]Sheet'!".
    QString Prefix(const SpreadSheetFormatSettings& settings) const override;

private:
    int linkIndex_;
    QString sheetName_;
};

// ---------------------------------------------------------------------------------------------
// Tokens
// ---------------------------------------------------------------------------------------------

/// A node of a parsed formula. Tokens form sibling chains in postfix order, and any token may own a
/// child chain (the arguments of a function, the items of an array, the inside of parentheses).
/// Destroying a token destroys its child chain.
///
/// The per-class operations fall into two groups kept in their own source files: the text output
/// (BuildText) and the evaluation (Calculate and the value accessors).
class SpreadSheetFormulaToken {
public:
    SpreadSheetFormulaToken();
    virtual ~SpreadSheetFormulaToken();
    SpreadSheetFormulaToken(const SpreadSheetFormulaToken&) = delete;
    SpreadSheetFormulaToken& operator=(const SpreadSheetFormulaToken&) = delete;

    SpreadSheetFormulaTokenKind Kind() const { return kind_; }
    SpreadSheetCustomFormula* Owner() const { return owner_; }
    /// Sets the owner of this token, its following siblings and all their children.
    void SetOwnerOfChain(SpreadSheetCustomFormula* owner);

    SpreadSheetFormulaToken* Parent() const { return parent_; }
    SpreadSheetFormulaToken* ChildFirst() const { return childFirst_; }
    SpreadSheetFormulaToken* ChildLast() const { return childLast_; }
    SpreadSheetFormulaToken* Prev() const { return prev_; }
    SpreadSheetFormulaToken* Next() const { return next_; }
    /// Number of tokens in the child chain.
    int ChildCount() const;

    int SourceStart() const { return sourceStart_; }
    int SourceFinish() const { return sourceFinish_; }
    void SetSource(int start, int finish);

    /// Links `token` (a lone token) after `prev`; `prev` may be null, then `token` stays alone.
    static void Add(SpreadSheetFormulaToken* prev, SpreadSheetFormulaToken* token);
    /// Appends `token` to the child chain of `parent`.
    static void AddChild(SpreadSheetFormulaToken* parent, SpreadSheetFormulaToken* token);
    /// Appends `token` at the end of the chain that starts at `first` (which may be null: then
    /// `token` becomes the chain).
    static void Append(SpreadSheetFormulaToken*& first, SpreadSheetFormulaToken* token);
    /// Unlinks this token from its siblings and parent; it keeps its children.
    void ExtractFromList();
    /// Unlinks and destroys this token.
    void Remove();
    /// Puts `token` in this token's place and destroys this token.
    void Replace(SpreadSheetFormulaToken* token);
    /// Destroys a whole sibling chain and sets `first` to null.
    static void DestroyTokens(SpreadSheetFormulaToken*& first);
    /// The innermost token of `chain` (at any depth) whose source span holds `position`.
    static SpreadSheetFormulaToken* FindToken(int position, SpreadSheetFormulaToken* chain);

    /// -1 for operands, the operation's priority for operations.
    virtual int Priority() const { return -1; }

    // Text output.
    virtual void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const;

    // Evaluation.
    virtual void Calculate(SpreadSheetFormulaResult& result);
    virtual void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);
    /// The value seen from cell (row, column) of `view`: implicit intersection for areas.
    virtual void GetValueRelatedWithCell(
        int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);
    virtual void GetValueAsArrayItem(int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);
    /// 1 x 1 unless the token stands for many values; a dimension with 0 rows is "#VALUE!".
    virtual SpreadSheetFormulaTokenDimension GetDimension(SpreadSheetFormulaErrorCode& error);
    virtual std::unique_ptr<SpreadSheetVector> ExtractColumn(int index, SpreadSheetFormulaErrorCode& error);
    virtual std::unique_ptr<SpreadSheetVector> ExtractRow(int index, SpreadSheetFormulaErrorCode& error);
    virtual bool IsEnumeration() const { return false; }
    /// False where text reached through the token is not read as a number by aggregates.
    virtual bool CanConvertStrToNumber() const { return true; }
    /// Drops per-pass caches of this token and its children.
    virtual void ClearCache();

protected:
    explicit SpreadSheetFormulaToken(SpreadSheetFormulaTokenKind kind);

private:
    SpreadSheetCustomFormula* owner_ = nullptr;
    SpreadSheetFormulaToken* parent_ = nullptr;
    SpreadSheetFormulaToken* childFirst_ = nullptr;
    SpreadSheetFormulaToken* childLast_ = nullptr;
    SpreadSheetFormulaToken* prev_ = nullptr;
    SpreadSheetFormulaToken* next_ = nullptr;
    std::uint16_t sourceStart_ = 0;
    std::uint16_t sourceFinish_ = 0;
    SpreadSheetFormulaTokenKind kind_ = tkHolder;
    bool isDestroyingByParent_ = false;
};

/// A missing argument: empty, or the integer 0 when read as a plain value.
class SpreadSheetFormulaNullToken final : public SpreadSheetFormulaToken {
public:
    SpreadSheetFormulaNullToken()
        : SpreadSheetFormulaToken(tkNull)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
};

/// A text literal; prints in double quotes with inner quotes doubled.
class SpreadSheetFormulaStringValueToken : public SpreadSheetFormulaToken {
public:
    explicit SpreadSheetFormulaStringValueToken(QString value)
        : SpreadSheetFormulaStringValueToken(tkStringValue, std::move(value))
    {
    }
    const QString& Value() const { return value_; }
    void SetValue(QString value) { value_ = std::move(value); }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

protected:
    SpreadSheetFormulaStringValueToken(SpreadSheetFormulaTokenKind kind, QString value)
        : SpreadSheetFormulaToken(kind)
        , value_(std::move(value))
    {
    }

    QString value_;
};

/// Text that prints as it is, without quotes.
class SpreadSheetFormulaTextValueToken final : public SpreadSheetFormulaStringValueToken {
public:
    explicit SpreadSheetFormulaTextValueToken(QString value)
        : SpreadSheetFormulaStringValueToken(tkTextValue, std::move(value))
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
};

/// Any scalar: results of operations and items of array results.
class SpreadSheetFormulaVariantToken final : public SpreadSheetFormulaToken {
public:
    explicit SpreadSheetFormulaVariantToken(SpreadSheetVariant value)
        : SpreadSheetFormulaToken(tkVariant)
        , value_(std::move(value))
    {
    }
    const SpreadSheetVariant& Value() const { return value_; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

private:
    SpreadSheetVariant value_;
};

class SpreadSheetFormulaBooleanValueToken final : public SpreadSheetFormulaToken {
public:
    explicit SpreadSheetFormulaBooleanValueToken(bool value)
        : SpreadSheetFormulaToken(tkBooleanValue)
        , value_(value)
    {
    }
    bool Value() const { return value_; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

private:
    bool value_;
};

/// Number literals; the parser folds a unary minus in front of one into its sign.
class SpreadSheetFormulaNumericValueToken : public SpreadSheetFormulaToken {
public:
    virtual void Negate() = 0;
    void Calculate(SpreadSheetFormulaResult& result) override;

protected:
    using SpreadSheetFormulaToken::SpreadSheetFormulaToken;
};

class SpreadSheetFormulaIntegerValueToken final : public SpreadSheetFormulaNumericValueToken {
public:
    explicit SpreadSheetFormulaIntegerValueToken(int value)
        : SpreadSheetFormulaNumericValueToken(tkIntegerValue)
        , value_(value)
    {
    }
    int Value() const { return value_; }
    /// False for the one value whose negation does not fit; the caller then keeps the unary minus.
    bool CanNegate() const { return value_ != std::numeric_limits<int>::min(); }
    void Negate() override { value_ = -value_; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

private:
    int value_;
};

class SpreadSheetFormulaFloatValueToken : public SpreadSheetFormulaNumericValueToken {
public:
    explicit SpreadSheetFormulaFloatValueToken(double value)
        : SpreadSheetFormulaFloatValueToken(tkFloatValue, value)
    {
    }
    double Value() const { return value_; }
    void Negate() override { value_ = -value_ + 0.0; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

protected:
    SpreadSheetFormulaFloatValueToken(SpreadSheetFormulaTokenKind kind, double value)
        : SpreadSheetFormulaNumericValueToken(kind)
        , value_(value)
    {
    }

    double value_;
};

/// A date-time literal; prints with the locale's date-time format.
class SpreadSheetFormulaDateTimeValueToken final : public SpreadSheetFormulaFloatValueToken {
public:
    explicit SpreadSheetFormulaDateTimeValueToken(double value)
        : SpreadSheetFormulaFloatValueToken(tkDateTimeValue, value)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
};

/// A currency literal held as amount x 10000.
class SpreadSheetFormulaCurrencyValueToken final : public SpreadSheetFormulaNumericValueToken {
public:
    explicit SpreadSheetFormulaCurrencyValueToken(std::int64_t value)
        : SpreadSheetFormulaNumericValueToken(tkCurrencyValue)
        , value_(value)
    {
    }
    std::int64_t Value() const { return value_; }
    void Negate() override { value_ = -value_; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

private:
    std::int64_t value_;
};

/// The priority of an operation; percent and parentheses sit at operand level (-1).
int FormulaOperationPriority(SpreadSheetFormulaOperation operation);

class SpreadSheetFormulaOperationToken final : public SpreadSheetFormulaToken {
public:
    explicit SpreadSheetFormulaOperationToken(SpreadSheetFormulaOperation operation)
        : SpreadSheetFormulaToken(tkOperation)
        , operation_(operation)
    {
    }
    SpreadSheetFormulaOperation Operation() const { return operation_; }
    void SetOperation(SpreadSheetFormulaOperation operation) { operation_ = operation; }
    int Priority() const override { return FormulaOperationPriority(operation_); }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;

private:
    SpreadSheetFormulaOperation operation_;
};

/// An error literal: pushes nothing and sets the result's error.
class SpreadSheetFormulaErrorValueToken final : public SpreadSheetFormulaToken {
public:
    explicit SpreadSheetFormulaErrorValueToken(SpreadSheetFormulaErrorCode code)
        : SpreadSheetFormulaToken(tkErrorValue)
        , errorCode_(code)
    {
    }
    SpreadSheetFormulaErrorCode ErrorCode() const { return errorCode_; }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;

private:
    SpreadSheetFormulaErrorCode errorCode_;
};

/// A defined name, looked up when evaluated (in the link's sheet scope, else the formula's sheet,
/// then the workbook). Defined names are not kept by the workbook yet, so it evaluates to "#NAME?".
class SpreadSheetFormulaDefinedNameToken final : public SpreadSheetFormulaStringValueToken {
public:
    SpreadSheetFormulaDefinedNameToken(QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link);
    ~SpreadSheetFormulaDefinedNameToken() override;
    SpreadSheet3DReferenceCustomLink* Link() const { return link_.get(); }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    bool CanConvertStrToNumber() const override { return false; }

private:
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link_;
};

/// A list of items (a top-level union list): one holder child per item.
class SpreadSheetListToken : public SpreadSheetFormulaToken {
public:
    SpreadSheetListToken()
        : SpreadSheetFormulaToken(tkList)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    bool IsEnumeration() const override { return true; }

protected:
    using SpreadSheetFormulaToken::SpreadSheetFormulaToken;
};

/// An array constant or an array result: holders of items with row separators between rows.
class SpreadSheetFormulaArrayToken final : public SpreadSheetListToken {
public:
    SpreadSheetFormulaArrayToken()
        : SpreadSheetListToken(tkArray)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    /// The first item.
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
    void GetValueAsArrayItem(
        int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
    SpreadSheetFormulaTokenDimension GetDimension(SpreadSheetFormulaErrorCode& error) override;
    bool CanConvertStrToNumber() const override { return false; }
    void ClearCache() override;

private:
    /// Finds the item holders by position once per pass (kept with the dimension).
    void IndexItems();

    // Only arrays cache a dimension: every other token is one value or says its size itself.
    SpreadSheetFormulaTokenDimension dimension_;
    bool isDimensionCalculated_ = false;
    std::vector<SpreadSheetFormulaToken*> items_; // row by row; null where a short row ends
};

class SpreadSheetFormulaArrayRowSeparator final : public SpreadSheetFormulaToken {
public:
    SpreadSheetFormulaArrayRowSeparator()
        : SpreadSheetFormulaToken(tkArrayRowSeparator)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
};

/// A cell, whole row or whole column on the owner's sheet. Components are absolute indexes or
/// offsets from the formula's anchor.
class SpreadSheetFormulaReferenceToken : public SpreadSheetFormulaToken {
public:
    SpreadSheetFormulaReferenceToken(const SpreadSheetReference& row, const SpreadSheetReference& column)
        : SpreadSheetFormulaReferenceToken(tkReference, row, column)
    {
    }
    const SpreadSheetReference& Row() const { return row_; }
    const SpreadSheetReference& Column() const { return column_; }
    SpreadSheetReference& Row() { return row_; }
    SpreadSheetReference& Column() { return column_; }
    /// The link of a 3-D reference; null on the owner's sheet.
    virtual SpreadSheet3DReferenceCustomLink* Link() const { return nullptr; }
    /// The sheet the reference reads from; null when it reaches none (a deleted sheet, another workbook).
    SpreadSheetTableView* TargetView() const;
    /// Actual rows and columns seen from the owner's anchor (whole lines span the grid); false when a
    /// component is in error or outside the grid.
    virtual bool GetArea(SpreadSheetArea& area) const;

    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    void GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
    void GetValueRelatedWithCell(
        int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
    void GetValueAsArrayItem(
        int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error) override;
    SpreadSheetFormulaTokenDimension GetDimension(SpreadSheetFormulaErrorCode& error) override;
    std::unique_ptr<SpreadSheetVector> ExtractColumn(int index, SpreadSheetFormulaErrorCode& error) override;
    std::unique_ptr<SpreadSheetVector> ExtractRow(int index, SpreadSheetFormulaErrorCode& error) override;
    bool IsEnumeration() const override;
    bool CanConvertStrToNumber() const override { return false; }

protected:
    SpreadSheetFormulaReferenceToken(
        SpreadSheetFormulaTokenKind kind, const SpreadSheetReference& row, const SpreadSheetReference& column)
        : SpreadSheetFormulaToken(kind)
        , row_(row)
        , column_(column)
    {
    }

    SpreadSheetReference row_;
    SpreadSheetReference column_;
};

/// A rectangle on the owner's sheet.
class SpreadSheetFormulaAreaReferenceToken : public SpreadSheetFormulaReferenceToken {
public:
    SpreadSheetFormulaAreaReferenceToken(const SpreadSheetReference& row, const SpreadSheetReference& column,
        const SpreadSheetReference& row2, const SpreadSheetReference& column2)
        : SpreadSheetFormulaAreaReferenceToken(tkAreaReference, row, column, row2, column2)
    {
    }
    const SpreadSheetReference& Row2() const { return row2_; }
    const SpreadSheetReference& Column2() const { return column2_; }
    SpreadSheetReference& Row2() { return row2_; }
    SpreadSheetReference& Column2() { return column2_; }
    /// Orders the corners so that the first row and column are not after the second ones.
    void Check();
    bool GetArea(SpreadSheetArea& area) const override;
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;

protected:
    SpreadSheetFormulaAreaReferenceToken(SpreadSheetFormulaTokenKind kind, const SpreadSheetReference& row,
        const SpreadSheetReference& column, const SpreadSheetReference& row2, const SpreadSheetReference& column2)
        : SpreadSheetFormulaReferenceToken(kind, row, column)
        , row2_(row2)
        , column2_(column2)
    {
    }

    SpreadSheetReference row2_;
    SpreadSheetReference column2_;
};

/// A cell on a linked sheet.
class SpreadSheetFormula3DReferenceToken final : public SpreadSheetFormulaReferenceToken {
public:
    SpreadSheetFormula3DReferenceToken(const SpreadSheetReference& row, const SpreadSheetReference& column,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link);
    ~SpreadSheetFormula3DReferenceToken() override;
    SpreadSheet3DReferenceCustomLink* Link() const override { return link_.get(); }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;

private:
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link_;
};

/// A rectangle on linked sheet(s); the second link is kept for files that name a sheet range.
class SpreadSheetFormula3DAreaReferenceToken final : public SpreadSheetFormulaAreaReferenceToken {
public:
    SpreadSheetFormula3DAreaReferenceToken(const SpreadSheetReference& row, const SpreadSheetReference& column,
        const SpreadSheetReference& row2, const SpreadSheetReference& column2,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link2 = nullptr);
    ~SpreadSheetFormula3DAreaReferenceToken() override;
    SpreadSheet3DReferenceCustomLink* Link() const override { return link_.get(); }
    SpreadSheet3DReferenceCustomLink* Link2() const { return link2_.get(); }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;

private:
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link_;
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link2_;
};

/// A call of a built-in function: one holder child per argument.
class SpreadSheetFormulaFunctionToken final : public SpreadSheetListToken {
public:
    explicit SpreadSheetFormulaFunctionToken(SpreadSheetFunctionInfo* information);
    ~SpreadSheetFormulaFunctionToken() override;
    SpreadSheetFunctionInfo* Information() const { return information_; }
    /// Takes the declared parameter kinds from the registry, extended over the given arguments when
    /// the last declared kind is unlimited.
    void InitializeParamsInfo();
    const std::vector<std::uint8_t>& ParamKinds() const { return paramKinds_; }

    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
    SpreadSheetFormulaTokenDimension GetDimension(SpreadSheetFormulaErrorCode& error) override;
    bool IsEnumeration() const override;
    void ClearCache() override;

private:
    /// Calls the function once per position when value arguments receive arrays; false when
    /// the call is not lifted and must be made once.
    bool CalculateLifted(SpreadSheetFormulaResult& result);

    SpreadSheetFunctionInfo* information_;
    std::vector<std::uint8_t> paramKinds_; // SpreadSheetFunctionParamKind values
    // The value of the call in the current calculation pass (scalar results only).
    bool hasCachedValue_ = false;
    SpreadSheetVariant cachedValue_;
    SpreadSheetFormulaErrorCode cachedError_ = ecNone;
};

/// "(" inner expression ")": the child chain is the inner expression.
class SpreadSheetFormulaParenthesesToken final : public SpreadSheetFormulaToken {
public:
    SpreadSheetFormulaParenthesesToken()
        : SpreadSheetFormulaToken(tkParentheses)
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
    void Calculate(SpreadSheetFormulaResult& result) override;
};

/// A name the parser could not bind, kept with its source spelling; always "#NAME?".
class SpreadSheetFormulaUnknownToken : public SpreadSheetListToken {
public:
    const QString& Name() const { return name_; }
    SpreadSheet3DReferenceCustomLink* Link() const { return link_.get(); }
    void Calculate(SpreadSheetFormulaResult& result) override;
    bool IsEnumeration() const override { return false; }

protected:
    SpreadSheetFormulaUnknownToken(
        SpreadSheetFormulaTokenKind kind, QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link);
    ~SpreadSheetFormulaUnknownToken() override;

    QString name_;
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link_;
};

class SpreadSheetFormulaUnknownFunctionToken final : public SpreadSheetFormulaUnknownToken {
public:
    explicit SpreadSheetFormulaUnknownFunctionToken(
        QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link = nullptr)
        : SpreadSheetFormulaUnknownToken(tkUnknownFunction, std::move(name), std::move(link))
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
};

class SpreadSheetFormulaUnknownNameToken final : public SpreadSheetFormulaUnknownToken {
public:
    explicit SpreadSheetFormulaUnknownNameToken(
        QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link = nullptr)
        : SpreadSheetFormulaUnknownToken(tkUnknownName, std::move(name), std::move(link))
    {
    }
    void BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings& settings) const override;
};

} // namespace quorvel
