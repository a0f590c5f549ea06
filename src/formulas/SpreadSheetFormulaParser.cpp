#include "formulas/SpreadSheetFormulaParser.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetReferences.h"
#include "functions/SpreadSheetFunctions.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetStrings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <initializer_list>
#include <limits>

namespace quorvel {

namespace {

// Lexical token IDs.
enum : int {
    kIdArray = 1,
    kIdError = 2,
    kIdFloat = 3,
    kIdIdentifier = 4,
    kIdInteger = 5,
    kIdOperation = 6,
    kIdReference = 7,
    kIdRefError = 8,
    kIdSheetSeparator = 9,
    kIdColumnRange = 10,
    kIdQuotedText = 11,
    kIdParentheses = 12,
    kIdBrackets = 13,
    kIdPlainText = 14,
    kIdCount = 15,
};

enum Recogniser : std::uint8_t {
    rcArray,
    rcNumber,
    rcQuotedText,
    rcParentheses,
    rcErrorLiteral,
    rcBrackets,
    rcOperation,
    rcReference,
    rcIdentifier,
    rcSheetSeparator,
    rcPlainText, // any one character
    rcOpenParenthesis, // "(" alone, as plain text
};

enum Creator : std::uint8_t {
    crNone,
    crArray,
    crErrorValue,
    crFunctionCall,
    crIdentifier,
    crNumber,
    crOperation,
    crTextValue,
    crParentheses,
    crReference,
    crColumnRange,
    crUnknownName,
    crUnknownExternalFunction,
    crPlainText,
};

struct LexerState {
    std::array<Recogniser, 9> recognisers {};
    int recogniserCount = 0;
    std::array<std::int8_t, kIdCount> next {};
    Creator creator = crNone;
};

constexpr LexerState State(
    std::initializer_list<Recogniser> recognisers, std::initializer_list<std::pair<int, int>> moves, Creator creator)
{
    LexerState state;
    for (const Recogniser recogniser : recognisers)
        state.recognisers[static_cast<std::size_t>(state.recogniserCount++)] = recogniser;
    state.next.fill(-1);
    for (const auto& [id, next] : moves)
        state.next[static_cast<std::size_t>(id)] = static_cast<std::int8_t>(next);
    state.creator = creator;
    return state;
}

// Each state tries its recognisers in order (after blanks); the lexical token read names the next
// state. When nothing matches or the token has no move, the state's creator builds the element.
const std::array<LexerState, 22> kStates { {
    /* 0 start */
    State({ rcArray, rcNumber, rcQuotedText, rcParentheses, rcErrorLiteral, rcBrackets, rcOperation, rcReference,
              rcIdentifier },
        { { kIdArray, 1 }, { kIdError, 2 }, { kIdFloat, 6 }, { kIdIdentifier, 5 }, { kIdInteger, 6 },
            { kIdOperation, 8 }, { kIdReference, 11 }, { kIdRefError, 3 }, { kIdColumnRange, 16 }, { kIdQuotedText, 9 },
            { kIdParentheses, 10 }, { kIdBrackets, 14 } },
        crNone),
    /* 1 */ State({}, {}, crArray),
    /* 2 */ State({}, {}, crErrorValue),
    /* 3 after "#REF!" */
    State({ rcNumber, rcErrorLiteral, rcReference, rcIdentifier },
        { { kIdIdentifier, 11 }, { kIdInteger, 11 }, { kIdReference, 11 }, { kIdRefError, 11 },
            { kIdColumnRange, 16 } },
        crErrorValue),
    /* 4 */ State({}, {}, crFunctionCall),
    /* 5 after an identifier */
    State({ rcSheetSeparator, rcParentheses }, { { kIdSheetSeparator, 13 }, { kIdParentheses, 4 } }, crIdentifier),
    /* 6 */ State({}, {}, crNumber),
    /* 7 (not reached) */ State({}, {}, crNone),
    /* 8 */ State({}, {}, crOperation),
    /* 9 after a quoted text */ State({ rcSheetSeparator }, { { kIdSheetSeparator, 13 } }, crTextValue),
    /* 10 */ State({}, {}, crParentheses),
    /* 11 */ State({}, {}, crReference),
    /* 12 after [n]name */ State({ rcSheetSeparator }, { { kIdSheetSeparator, 13 } }, crNone),
    /* 13 after sheet! */
    State({ rcErrorLiteral, rcReference, rcIdentifier },
        { { kIdIdentifier, 11 }, { kIdReference, 11 }, { kIdRefError, 11 }, { kIdColumnRange, 16 } }, crNone),
    /* 14 after [n] */
    State({ rcSheetSeparator, rcIdentifier }, { { kIdSheetSeparator, 15 }, { kIdIdentifier, 12 } }, crNone),
    /* 15 after [n]! */ State({ rcIdentifier }, { { kIdIdentifier, 17 } }, crNone),
    /* 16 */ State({}, {}, crColumnRange),
    /* 17 after [n]!name */ State({ rcParentheses }, { { kIdParentheses, 18 } }, crUnknownName),
    /* 18 */ State({}, {}, crUnknownExternalFunction),
    // The reference-list reader: operators, parentheses and braces are plain text, so that a
    // formula still being typed reads up to its end. The external-workbook prefix is still read,
    // so that a reference into another workbook is not taken for one on a sheet of this one.
    /* 19 start */
    State({ rcNumber, rcQuotedText, rcErrorLiteral, rcBrackets, rcReference, rcIdentifier, rcPlainText },
        { { kIdError, 2 }, { kIdFloat, 6 }, { kIdIdentifier, 20 }, { kIdInteger, 6 }, { kIdReference, 11 },
            { kIdRefError, 3 }, { kIdColumnRange, 16 }, { kIdQuotedText, 9 }, { kIdBrackets, 14 },
            { kIdPlainText, 21 } },
        crNone),
    /* 20 after an identifier: a sheet name, or a function name before its "(" */
    State({ rcSheetSeparator, rcOpenParenthesis }, { { kIdSheetSeparator, 13 }, { kIdPlainText, 21 } }, crIdentifier),
    /* 21 */ State({}, {}, crPlainText),
} };

constexpr int kReferenceListStart = 19;

static_assert(sizeof(SpreadSheetReference) == sizeof(std::int64_t));

std::int64_t Pack(const SpreadSheetReference& reference)
{
    return std::bit_cast<std::int64_t>(reference);
}
SpreadSheetReference Unpack(std::int64_t value)
{
    return std::bit_cast<SpreadSheetReference>(value);
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsOperation(const SpreadSheetFormulaToken* token, SpreadSheetFormulaOperation operation)
{
    return token && token->Kind() == tkOperation
        && static_cast<const SpreadSheetFormulaOperationToken*>(token)->Operation() == operation;
}

const SpreadSheetFormulaOperationToken* AsOperation(const SpreadSheetFormulaToken* token)
{
    return token && token->Kind() == tkOperation ? static_cast<const SpreadSheetFormulaOperationToken*>(token)
                                                 : nullptr;
}

bool IsUnaryOperation(SpreadSheetFormulaOperation operation)
{
    return operation == opUplus || operation == opUminus || operation == opPercent;
}

// An end of a range that ":" may join: a cell (or whole row/column) reference, a row number, or
// the reference error.
bool IsReferenceEnd(const SpreadSheetFormulaToken& token)
{
    switch (token.Kind()) {
    case tkReference:
    case tk3DReference:
        return true;
    case tkIntegerValue: {
        const int row = static_cast<const SpreadSheetFormulaIntegerValueToken&>(token).Value();
        return row >= 1 && row <= kMaxRowIndex + 1;
    }
    case tkErrorValue:
        return static_cast<const SpreadSheetFormulaErrorValueToken&>(token).ErrorCode() == ecRefErr;
    default:
        return false;
    }
}

// Whether a component read in A1 or R1C1 notation lies inside the grid; relative A1 parts become
// offsets from the anchor.
bool LocalizeComponent(SpreadSheetReference& reference, int anchor, int maxIndex, bool r1c1)
{
    if (reference.IsAllItems())
        return true;
    const int value = reference.Offset();
    if (r1c1 && !reference.IsAbsolute())
        return value >= -maxIndex && value <= maxIndex;
    if (value < 0 || value > maxIndex)
        return false;
    if (!reference.IsAbsolute())
        reference.SetOffset(value - anchor);
    return true;
}

// Moves a sibling chain under `parent`, after its present children.
void AdoptChildren(SpreadSheetFormulaToken* parent, SpreadSheetFormulaToken* first)
{
    while (first) {
        SpreadSheetFormulaToken* next = first->Next();
        SpreadSheetFormulaToken::AddChild(parent, first);
        first = next;
    }
}

} // namespace

SpreadSheetFormulaErrorCode FormulaErrorOfParserError(SpreadSheetFormulaParserErrorCode code)
{
    switch (code) {
    case pecUnknownIdentifier:
    case pecUnknownIdentifierInParameterList:
    case pecUnexpectedEndOfExternalReference:
    case pecInvalidReference:
        return ecName;
    default:
        return ecNone;
    }
}

// ---------------------------------------------------------------------------------------------
// SpreadSheetFormulaParserIdentList
// ---------------------------------------------------------------------------------------------

void SpreadSheetFormulaParserIdentList::Add(const QString& text, int value)
{
    if (std::any_of(items_.begin(), items_.end(), [&text](const auto& item) { return item.first == text; }))
        return;
    const auto firstShorter = std::find_if(
        items_.begin(), items_.end(), [&text](const auto& item) { return item.first.size() < text.size(); });
    items_.emplace(firstShorter, text, value);
}

bool SpreadSheetFormulaParserIdentList::Find(QStringView text, int& value, int& length) const
{
    for (const auto& [entry, entryValue] : items_) {
        if (text.startsWith(entry)) {
            value = entryValue;
            length = static_cast<int>(entry.size());
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// SpreadSheetAbstractFormulaParser
// ---------------------------------------------------------------------------------------------

SpreadSheetAbstractFormulaParser::TokenChain::TokenChain(TokenChain&& other) noexcept
    : first_(std::exchange(other.first_, nullptr))
    , last_(std::exchange(other.last_, nullptr))
{
}

SpreadSheetAbstractFormulaParser::TokenChain& SpreadSheetAbstractFormulaParser::TokenChain::operator=(
    TokenChain&& other) noexcept
{
    if (this != &other) {
        SpreadSheetFormulaToken::DestroyTokens(first_);
        first_ = std::exchange(other.first_, nullptr);
        last_ = std::exchange(other.last_, nullptr);
    }
    return *this;
}

SpreadSheetAbstractFormulaParser::TokenChain::~TokenChain()
{
    SpreadSheetFormulaToken::DestroyTokens(first_);
}

void SpreadSheetAbstractFormulaParser::TokenChain::Append(std::unique_ptr<SpreadSheetFormulaToken> token)
{
    SpreadSheetFormulaToken* added = token.release();
    if (last_)
        SpreadSheetFormulaToken::Add(last_, added);
    else
        first_ = added;
    last_ = added;
}

SpreadSheetFormulaToken* SpreadSheetAbstractFormulaParser::TokenChain::Release()
{
    last_ = nullptr;
    return std::exchange(first_, nullptr);
}

SpreadSheetAbstractFormulaParser::NestingLevel::NestingLevel(SpreadSheetAbstractFormulaParser& parser)
    : parser_(parser)
{
    if (++parser_.nestingLevel_ > kMaxFormulaNestingLevel) {
        --parser_.nestingLevel_;
        throw ESpreadSheetFormulaIsTooLongError(parser_.settings_.Operation(opEQ) + parser_.formulaSourceText_);
    }
}

SpreadSheetAbstractFormulaParser::SpreadSheetAbstractFormulaParser(const SpreadSheetFormatSettings& settings)
    : settings_(settings)
{
    canSpaceBeSignificant_ = false;
    isRangeOperatorSupported_ = false;
    for (int i = 0; i < kFormulaOperationCount; ++i) {
        const QString& text = settings_.Operation(static_cast<SpreadSheetFormulaOperation>(i));
        canSpaceBeSignificant_ = canSpaceBeSignificant_ || text == QStringLiteral(" ");
        isRangeOperatorSupported_ = isRangeOperatorSupported_ || text == QStringLiteral(":");
    }
    // An argument ends at the list separator, and at the array separator unless that is the range
    // operation's ":".
    arraySeparatorEndsParameter_ = !(settings_.ArraySeparator() == u':' && isRangeOperatorSupported_);
}

SpreadSheetAbstractFormulaParser::~SpreadSheetAbstractFormulaParser() = default;

bool SpreadSheetAbstractFormulaParser::ParseFormula(const QString& formulaText, SpreadSheetCustomFormula& formula)
{
    const QString& prefix = settings_.Operation(opEQ);
    if (prefix.isEmpty() || !formulaText.startsWith(prefix))
        return false;
    formula_ = &formula;
    formulaOffset_ = static_cast<int>(prefix.size());
    formulaSourceText_ = formulaText.mid(formulaOffset_);
    formulaText_ = formulaSourceText_;
    // Upper-cased one code unit at a time, so that positions in both texts stay the same.
    for (QChar& c : formulaText_)
        c = c.toUpper();
    anchorRow_ = formula.AnchorRow();
    anchorColumn_ = formula.AnchorColumn();
    errorIndex_ = 0;
    errorCode_ = pecNone;
    nestingLevel_ = 0;
    formula.SetSourceText(formulaText);
    formula.SetTokens(nullptr);
    formula.SetError(0, ecNone);
    if (formulaSourceText_.size() > kMaxFormulaLength)
        throw ESpreadSheetFormulaIsTooLongError(formulaText);

    Prepare();
    const int finish = static_cast<int>(formulaSourceText_.size()) - 1;
    int start = 0;
    SkipBlanks(start, finish);
    TokenChain chain;
    if (start <= finish)
        chain = ParseText(start, finish);
    formula_ = nullptr;
    if (HasError()) {
        formula.SetError(ErrorIndex(), FormulaErrorOfParserError(errorCode_));
        return true;
    }
    formula.SetTokens(chain.Release());
    try {
        formula.Validate();
    } catch (...) {
        formula.SetTokens(nullptr);
        throw;
    }
    return true;
}

void SpreadSheetAbstractFormulaParser::SetError(SpreadSheetFormulaParserErrorCode code, int position)
{
    if (HasError())
        return;
    errorCode_ = code;
    errorIndex_ = position + 1;
}

QChar SpreadSheetAbstractFormulaParser::CharAt(int position) const
{
    return position >= 0 && position < formulaText_.size() ? formulaText_[position] : QChar();
}

bool SpreadSheetAbstractFormulaParser::IsBreakChar(int position) const
{
    return position >= 0 && position < formulaText_.size() && settings_.IsBreakChar(formulaText_[position]);
}

void SpreadSheetAbstractFormulaParser::SkipBlanks(int& position, int finish) const
{
    const auto isLineBreak = [this](int pos) { return CharAt(pos) == u'\n' || CharAt(pos) == u'\r'; };
    if (!canSpaceBeSignificant_) {
        while (position <= finish && (isLineBreak(position) || CharAt(position) == u' '))
            ++position;
        return;
    }
    // The space is the intersection operation: a run of spaces is only a blank where it cannot
    // stand between two operands.
    for (;;) {
        while (position <= finish && isLineBreak(position))
            ++position;
        if (position > finish || CharAt(position) != u' ')
            return;
        int end = position;
        while (end <= finish && CharAt(end) == u' ')
            ++end;
        const bool isBlank
            = position == 0 || end >= formulaText_.size() || IsBreakChar(position - 1) || IsBreakChar(end);
        if (!isBlank)
            return;
        position = end;
    }
}

void SpreadSheetAbstractFormulaParser::SetSource(SpreadSheetFormulaToken& token, int start, int finish) const
{
    token.SetSource(start + 1 + formulaOffset_, finish + 1 + formulaOffset_);
}

int SpreadSheetAbstractFormulaParser::SourceStartOf(const SpreadSheetFormulaToken& token) const
{
    return token.SourceStart() - 1 - formulaOffset_;
}

bool SpreadSheetAbstractFormulaParser::IsSeparator(int position, bool inArray) const
{
    const QChar c = CharAt(position);
    if (c == settings_.ListSeparator())
        return true;
    // Rows of an array constant always end at the array separator: its items are constants, so a
    // ":" there cannot be a range.
    return c == settings_.ArraySeparator() && (inArray || arraySeparatorEndsParameter_);
}

SpreadSheetAbstractFormulaParser::TokenChain SpreadSheetAbstractFormulaParser::ParseBody(int start, int finish)
{
    int position = start;
    TokenChain expression = ParseExpression(position, finish, false);
    if (HasError())
        return {};
    SkipBlanks(position, finish);
    if (position > finish)
        return expression;
    if (CharAt(position) != settings_.ListSeparator()) {
        SetError(pecUnknownIdentifierInParameterList, position);
        return {};
    }
    auto list = std::make_unique<SpreadSheetListToken>();
    auto holder = std::make_unique<SpreadSheetFormulaToken>();
    AdoptChildren(holder.get(), expression.Release());
    SpreadSheetFormulaToken::AddChild(list.get(), holder.release());
    ParseItemsFrom(list.get(), position + 1, finish, false);
    if (HasError())
        return {};
    SetSource(*list, start, finish);
    TokenChain result;
    result.Append(std::move(list));
    return result;
}

void SpreadSheetAbstractFormulaParser::ParseItems(SpreadSheetFormulaToken* parent, int start, int finish, bool isArray)
{
    int position = start;
    SkipBlanks(position, finish);
    if (position <= finish)
        ParseItemsFrom(parent, position, finish, isArray);
}

void SpreadSheetAbstractFormulaParser::ParseItemsFrom(
    SpreadSheetFormulaToken* parent, int position, int finish, bool isArray)
{
    for (;;) {
        const int itemStart = position;
        TokenChain item = ParseExpression(position, finish, isArray);
        if (HasError())
            return;
        auto holder = std::make_unique<SpreadSheetFormulaToken>();
        SetSource(*holder, itemStart, position - 1);
        AdoptChildren(holder.get(), item.Release());
        SpreadSheetFormulaToken::AddChild(parent, holder.release());
        SkipBlanks(position, finish);
        if (position > finish)
            return;
        // After an item only a separator may follow: the list separator starts the next item (an
        // empty one when another separator or the end follows), the array separator a new row.
        const QChar c = CharAt(position);
        if (c == settings_.ListSeparator()) {
            ++position;
            continue;
        }
        if (c == settings_.ArraySeparator() && (isArray || arraySeparatorEndsParameter_)) {
            auto separator = std::make_unique<SpreadSheetFormulaArrayRowSeparator>();
            SetSource(*separator, position, position);
            SpreadSheetFormulaToken::AddChild(parent, separator.release());
            ++position;
            continue;
        }
        SetError(pecUnknownIdentifierInParameterList, position);
        return;
    }
}

SpreadSheetAbstractFormulaParser::TokenChain SpreadSheetAbstractFormulaParser::ParseExpression(
    int& position, int finish, bool inArray)
{
    const int start = position;
    std::vector<TokenPtr> elements;
    for (;;) {
        SkipBlanks(position, finish);
        if (position > finish || IsSeparator(position, inArray))
            break;
        TokenPtr element = ReadElement(position, finish);
        if (!element || HasError())
            return {};
        elements.push_back(std::move(element));
    }
    TokenChain chain;
    if (elements.empty()) {
        chain.Append(std::make_unique<SpreadSheetFormulaNullToken>());
        return chain;
    }
    FoldRanges(elements);
    ResolveUnaryOperations(elements);
    if (HasError())
        return {};
    chain = ToPostfix(elements);
    CheckPostfix(chain, start);
    if (HasError())
        return {};
    return chain;
}

void SpreadSheetAbstractFormulaParser::FoldRanges(std::vector<TokenPtr>& elements)
{
    if (!isRangeOperatorSupported_)
        return;
    for (std::size_t i = 0; i + 2 < elements.size(); ++i) {
        if (!IsOperation(elements[i + 1].get(), opRange) || !IsReferenceEnd(*elements[i])
            || !IsReferenceEnd(*elements[i + 2]))
            continue;
        elements[i] = MakeRange(std::move(elements[i]), std::move(elements[i + 2]));
        elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(i) + 1,
            elements.begin() + static_cast<std::ptrdiff_t>(i) + 3);
    }
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetAbstractFormulaParser::MakeRange(
    TokenPtr first, TokenPtr last) const
{
    struct End {
        SpreadSheetReference row;
        SpreadSheetReference column;
        const SpreadSheet3DReferenceCustomLink* link = nullptr;
    };
    const auto endOf = [this](const SpreadSheetFormulaToken& token) {
        End end;
        if (token.Kind() == tkIntegerValue) {
            // Row n across all columns.
            const int row = static_cast<const SpreadSheetFormulaIntegerValueToken&>(token).Value() - 1;
            end.row = SpreadSheetReference::Create(row - anchorRow_, false);
            end.column = SpreadSheetReference::AllItems();
        } else if (token.Kind() == tkErrorValue) {
            end.row = SpreadSheetReference::Invalid();
            end.row.SetIsError(true);
            end.column = end.row;
        } else {
            const auto& reference = static_cast<const SpreadSheetFormulaReferenceToken&>(token);
            end.row = reference.Row();
            end.column = reference.Column();
            end.link = reference.Link();
        }
        return end;
    };
    End end1 = endOf(*first);
    End end2 = endOf(*last);
    // A link that only follows the default sheet gives way to the other end's explicit one.
    if (end1.link && end2.link && end1.link->IsAuto() != end2.link->IsAuto()) {
        if (end1.link->IsAuto())
            end1.link = end2.link;
        end2.link = nullptr;
    }
    if (!end1.link) {
        end1.link = end2.link;
        end2.link = nullptr;
    }
    if (end1.link && end2.link && end1.link->Prefix(settings_) == end2.link->Prefix(settings_))
        end2.link = nullptr;

    TokenPtr area = MakeArea(end1.row, end1.column, end2.row, end2.column, end1.link ? end1.link->Clone() : nullptr,
        end2.link ? end2.link->Clone() : nullptr);
    area->SetSource(first->SourceStart(), last->SourceFinish());
    return area;
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetAbstractFormulaParser::MakeArea(const SpreadSheetReference& row,
    const SpreadSheetReference& column, const SpreadSheetReference& row2, const SpreadSheetReference& column2,
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link,
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link2) const
{
    std::unique_ptr<SpreadSheetFormulaAreaReferenceToken> area;
    if (link) {
        area = std::make_unique<SpreadSheetFormula3DAreaReferenceToken>(
            row, column, row2, column2, std::move(link), std::move(link2));
    } else {
        area = std::make_unique<SpreadSheetFormulaAreaReferenceToken>(row, column, row2, column2);
    }
    // The corners are ordered as seen from the formula's anchor.
    area->SetOwnerOfChain(formula_);
    area->Check();
    area->SetOwnerOfChain(nullptr);
    return area;
}

void SpreadSheetAbstractFormulaParser::ResolveUnaryOperations(std::vector<TokenPtr>& elements)
{
    std::vector<TokenPtr> resolved;
    resolved.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        TokenPtr& element = elements[i];
        if (element->Kind() != tkOperation) {
            resolved.push_back(std::move(element));
            continue;
        }
        auto& operation = static_cast<SpreadSheetFormulaOperationToken&>(*element);
        const SpreadSheetFormulaToken* previous = resolved.empty() ? nullptr : resolved.back().get();
        const SpreadSheetFormulaOperationToken* previousOperation = AsOperation(previous);
        const bool afterOperator = !previous || (previousOperation && previousOperation->Priority() > 0);
        switch (operation.Operation()) {
        case opIsect:
            // The space intersects two references; anywhere else it was only a blank.
            if (!previous || !IsReferenceKind(previous->Kind()) || i + 1 >= elements.size()
                || !IsReferenceKind(elements[i + 1]->Kind()))
                continue;
            break;
        case opSub:
            if (afterOperator)
                operation.SetOperation(opUminus);
            break;
        case opAdd:
            if (afterOperator)
                operation.SetOperation(opUplus);
            break;
        default:
            break;
        }
        resolved.push_back(std::move(element));
    }

    // Operands and binary operations alternate; prefix signs stand before an operand and "%"
    // after one.
    bool expectsOperand = true;
    for (const TokenPtr& token : resolved) {
        const SpreadSheetFormulaOperationToken* operation = AsOperation(token.get());
        const bool isPrefix = operation && (operation->Operation() == opUplus || operation->Operation() == opUminus);
        const bool isPostfix = operation && operation->Operation() == opPercent;
        if (isPrefix)
            continue;
        if (expectsOperand == (operation != nullptr)) {
            SetError(pecInvalidExpression, SourceStartOf(*token));
            return;
        }
        if (!isPostfix)
            expectsOperand = operation != nullptr;
    }
    if (expectsOperand) {
        SetError(pecInvalidExpression, resolved.empty() ? 0 : SourceStartOf(*resolved.back()));
        return;
    }

    // A unary minus directly in front of a number literal becomes the literal's sign.
    elements.clear();
    for (std::size_t i = 0; i < resolved.size(); ++i) {
        TokenPtr& token = resolved[i];
        if (IsOperation(token.get(), opUminus) && i + 1 < resolved.size()) {
            SpreadSheetFormulaToken& next = *resolved[i + 1];
            const bool canNegate = next.Kind() == tkFloatValue
                || (next.Kind() == tkIntegerValue
                    && static_cast<SpreadSheetFormulaIntegerValueToken&>(next).CanNegate());
            if (canNegate) {
                static_cast<SpreadSheetFormulaNumericValueToken&>(next).Negate();
                next.SetSource(token->SourceStart(), next.SourceFinish());
                continue;
            }
        }
        elements.push_back(std::move(token));
    }
}

SpreadSheetAbstractFormulaParser::TokenChain SpreadSheetAbstractFormulaParser::ToPostfix(
    std::vector<TokenPtr>& elements)
{
    TokenChain output;
    std::vector<TokenPtr> stack;
    for (TokenPtr& element : elements) {
        const int priority = element->Priority();
        if (priority < 0) {
            output.Append(std::move(element));
            continue;
        }
        // Left-associative: equal priorities leave first; a run of unary minus signs nests instead.
        const bool isUminus = IsOperation(element.get(), opUminus);
        while (!stack.empty() && stack.back()->Priority() >= priority
            && !(isUminus && IsOperation(stack.back().get(), opUminus))) {
            output.Append(std::move(stack.back()));
            stack.pop_back();
        }
        stack.push_back(std::move(element));
    }
    while (!stack.empty()) {
        output.Append(std::move(stack.back()));
        stack.pop_back();
    }
    return output;
}

void SpreadSheetAbstractFormulaParser::CheckPostfix(const TokenChain& chain, int start)
{
    int operands = 0;
    for (const SpreadSheetFormulaToken* token = chain.First(); token; token = token->Next()) {
        const SpreadSheetFormulaOperationToken* operation = AsOperation(token);
        if (!operation) {
            ++operands;
            continue;
        }
        const int needed = IsUnaryOperation(operation->Operation()) ? 1 : 2;
        if (operands < needed) {
            SetError(pecInvalidExpression, SourceStartOf(*token));
            return;
        }
        operands -= needed - 1;
    }
    if (operands != 1)
        SetError(pecInvalidExpression, start);
}

// ---------------------------------------------------------------------------------------------
// SpreadSheetCustomFormulaParser
// ---------------------------------------------------------------------------------------------

SpreadSheetCustomFormulaParser::SpreadSheetCustomFormulaParser(const SpreadSheetFormatSettings& settings)
    : SpreadSheetAbstractFormulaParser(settings)
{
}

SpreadSheetCustomFormulaParser::~SpreadSheetCustomFormulaParser() = default;

void SpreadSheetCustomFormulaParser::Prepare()
{
    if (!knownOperations_.IsEmpty())
        return;
    // The first operation of a spelling keeps it: "-" stays the subtraction.
    for (int i = 0; i < kFormulaOperationCount; ++i) {
        const QString text = settings_.Operation(static_cast<SpreadSheetFormulaOperation>(i)).toUpper();
        if (!text.isEmpty())
            knownOperations_.Add(text, i);
    }
    const std::array<std::pair<const ResourceString*, SpreadSheetFormulaErrorCode>, 7> errors { {
        { &serNullError, ecNull },
        { &serDivZeroError, ecDivByZero },
        { &serValueError, ecValue },
        { &serRefError, ecRefErr },
        { &serNameError, ecName },
        { &serNumError, ecNUM },
        { &serNAError, ecNA },
    } };
    for (const auto& [text, code] : errors)
        knownErrors_.Add(text->Text().toUpper(), static_cast<int>(code));
}

SpreadSheetTableView* SpreadSheetCustomFormulaParser::FindSheet(const QString&) const
{
    return nullptr;
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateDefinedName(
    const QString&, const SpreadSheet3DReferenceCustomLink*) const
{
    // TODO: bind defined names once the workbook keeps them.
    return nullptr;
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheetCustomFormulaParser::CreateExternalLink(
    int index, const QString& sheetName) const
{
    // TODO: take the target from the workbook's external links once it keeps them; until then the
    // number alone keeps the reference printing as it was read.
    return std::make_unique<SpreadSheet3DExternalReferenceLink>(index, QString(), sheetName);
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheetCustomFormulaParser::CreateDefaultLink() const
{
    return nullptr;
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::ReadElement(int& position, int finish)
{
    std::vector<SpreadSheetFormulaParserToken> stack;
    int pos = position;
    int state = ReadsStructure() ? 0 : kReferenceListStart;
    for (;;) {
        SkipBlanks(pos, finish);
        const LexerState& lexerState = kStates[static_cast<std::size_t>(state)];
        SpreadSheetFormulaParserToken token;
        bool matched = false;
        for (int i = 0; i < lexerState.recogniserCount && !matched; ++i)
            matched = Recognise(lexerState.recognisers[static_cast<std::size_t>(i)], pos, finish, token);
        if (HasError())
            return nullptr;
        if (!matched || lexerState.next[static_cast<std::size_t>(token.ID)] < 0)
            break;
        stack.push_back(token);
        state = lexerState.next[static_cast<std::size_t>(token.ID)];
        pos = token.FinishPosition + 1;
    }
    if (stack.empty()) {
        SetError(pecUnknownIdentifier, position);
        return nullptr;
    }
    TokenPtr element = Create(kStates[static_cast<std::size_t>(state)].creator, stack);
    if (HasError())
        return nullptr;
    if (!element) {
        SetError(pecUnknownIdentifier, stack.front().StartPosition);
        return nullptr;
    }
    SetSource(*element, stack.front().StartPosition, stack.back().FinishPosition);
    position = stack.back().FinishPosition + 1;
    return element;
}

bool SpreadSheetCustomFormulaParser::Recognise(
    int recogniser, int position, int finish, SpreadSheetFormulaParserToken& token)
{
    if (position > finish)
        return false;
    token = {};
    token.StartPosition = position;
    switch (recogniser) {
    case rcArray:
        return RecogniseGroup(position, finish, u'{', u'}', kIdArray, pecUnexpectedEndOfArray, token);
    case rcNumber:
        return RecogniseNumber(position, finish, token);
    case rcQuotedText:
        return RecogniseQuotedText(position, finish, token);
    case rcParentheses:
        return RecogniseGroup(position, finish, u'(', u')', kIdParentheses, pecUnexpectedEndOfExpression, token);
    case rcErrorLiteral:
        return RecogniseErrorLiteral(position, finish, token);
    case rcBrackets:
        return RecogniseGroup(position, finish, u'[', u']', kIdBrackets, pecUnexpectedEndOfExternalReference, token);
    case rcOperation:
        return RecogniseOperation(position, finish, token);
    case rcReference:
        return RecogniseReference(position, finish, token);
    case rcIdentifier:
        return RecogniseIdentifier(position, finish, token);
    case rcSheetSeparator:
        token.ID = kIdSheetSeparator;
        token.FinishPosition = position;
        return CharAt(position) == u'!';
    case rcPlainText:
        token.ID = kIdPlainText;
        token.FinishPosition = position;
        return true;
    case rcOpenParenthesis:
        token.ID = kIdPlainText;
        token.FinishPosition = position;
        return CharAt(position) == u'(';
    default:
        return false;
    }
}

bool SpreadSheetCustomFormulaParser::RecogniseNumber(
    int position, int finish, SpreadSheetFormulaParserToken& token) const
{
    if (!IsDigit(CharAt(position)))
        return false;
    enum { kInteger, kFraction, kExponentSign, kExponentDigits } state = kInteger;
    const QChar decimalSeparator = settings_.DecimalSeparator();
    int pos = position;
    for (;; ++pos) {
        // The end of the range reads as a break character.
        const QChar c = pos <= finish ? CharAt(pos) : QChar(u'\t');
        const bool isSign = c == u'+' || c == u'-';
        const bool isBreak = !isSign && c != decimalSeparator && c != u'E' && settings_.IsBreakChar(c);
        if (IsDigit(c)) {
            if (state == kExponentSign)
                state = kExponentDigits;
            continue;
        }
        if (state == kExponentSign) {
            if (isSign) {
                state = kExponentDigits;
                continue;
            }
            if (isBreak)
                break;
            return false;
        }
        if (isSign || isBreak)
            break;
        if (c == decimalSeparator && state == kInteger) {
            state = kFraction;
            continue;
        }
        if (c == u'E' && state != kExponentDigits) {
            state = kExponentSign;
            continue;
        }
        return false;
    }
    token.ID = state == kInteger ? kIdInteger : kIdFloat;
    token.FinishPosition = pos - 1;
    return true;
}

bool SpreadSheetCustomFormulaParser::RecogniseQuotedText(int position, int finish, SpreadSheetFormulaParserToken& token)
{
    const QChar quote = CharAt(position);
    if (quote != u'"' && quote != u'\'')
        return false;
    token.ID = kIdQuotedText;
    token.Data = quote.unicode();
    for (int pos = position + 1; pos <= finish; ++pos) {
        if (CharAt(pos) != quote)
            continue;
        if (pos < finish && CharAt(pos + 1) == quote) {
            ++pos;
            continue;
        }
        token.FinishPosition = pos;
        return true;
    }
    SetError(pecUnexpectedEndOfString, position);
    token.FinishPosition = finish;
    return true;
}

bool SpreadSheetCustomFormulaParser::RecogniseGroup(int position, int finish, QChar open, QChar close, int id,
    SpreadSheetFormulaParserErrorCode missingCloser, SpreadSheetFormulaParserToken& token)
{
    if (CharAt(position) != open)
        return false;
    // Closers still expected, innermost last; quoted texts are stepped over whole.
    std::vector<QChar> expected { close };
    for (int pos = position + 1; pos <= finish; ++pos) {
        const QChar c = CharAt(pos);
        if (c == u'"' || c == u'\'') {
            int end = pos + 1;
            while (end <= finish && (CharAt(end) != c || (end < finish && CharAt(end + 1) == c)))
                end += CharAt(end) == c ? 2 : 1;
            if (end > finish)
                break;
            pos = end;
        } else if (c == expected.back()) {
            expected.pop_back();
            if (expected.empty()) {
                token.ID = id;
                token.Data = position + 1;
                token.Data2 = pos - 1;
                token.FinishPosition = pos;
                return true;
            }
        } else if (c == u'(') {
            expected.push_back(u')');
        } else if (c == u'{') {
            expected.push_back(u'}');
        }
    }
    SetError(missingCloser, position);
    return false;
}

bool SpreadSheetCustomFormulaParser::RecogniseErrorLiteral(
    int position, int finish, SpreadSheetFormulaParserToken& token) const
{
    int code = 0;
    int length = 0;
    if (CharAt(position) != u'#'
        || !knownErrors_.Find(QStringView(formulaText_).mid(position, finish - position + 1), code, length))
        return false;
    token.ID = static_cast<SpreadSheetFormulaErrorCode>(code) == ecRefErr ? kIdRefError : kIdError;
    token.Data = code;
    token.FinishPosition = position + length - 1;
    return true;
}

bool SpreadSheetCustomFormulaParser::RecogniseOperation(
    int position, int finish, SpreadSheetFormulaParserToken& token) const
{
    int operation = 0;
    int length = 0;
    if (!knownOperations_.Find(QStringView(formulaText_).mid(position, finish - position + 1), operation, length))
        return false;
    token.ID = kIdOperation;
    token.Data = operation;
    token.FinishPosition = position + length - 1;
    return true;
}

bool SpreadSheetCustomFormulaParser::RecogniseReference(
    int position, int finish, SpreadSheetFormulaParserToken& token) const
{
    SpreadSheetReference row;
    SpreadSheetReference column;
    int pos = position;
    if (!ReadReference(pos, finish, row, column))
        return false;
    const bool hasRow = !row.IsAllItems();
    const bool hasColumn = !column.IsAllItems();
    // A relative A1 cell is left to the identifier ("LOG10(" stays a call, "AB1!" a sheet name).
    if (settings_.R1C1Reference || (hasRow && row.IsAbsolute()) || (hasColumn && column.IsAbsolute() && hasRow)) {
        token.ID = kIdReference;
        token.Data = Pack(row);
        token.Data2 = Pack(column);
        token.FinishPosition = pos - 1;
        return true;
    }
    if (hasRow || !hasColumn)
        return false;
    SkipBlanks(pos, finish);
    if (CharAt(pos) != u':' || pos > finish)
        return false;
    ++pos;
    SkipBlanks(pos, finish);
    SpreadSheetReference row2;
    SpreadSheetReference column2;
    if (!ReadReference(pos, finish, row2, column2) || !row2.IsAllItems() || column2.IsAllItems())
        return false;
    token.ID = kIdColumnRange;
    token.Data = Pack(column);
    token.Data2 = Pack(column2);
    token.FinishPosition = pos - 1;
    return true;
}

bool SpreadSheetCustomFormulaParser::RecogniseIdentifier(
    int position, int finish, SpreadSheetFormulaParserToken& token) const
{
    int pos = position;
    while (pos <= finish && !IsBreakChar(pos))
        ++pos;
    if (pos == position)
        return false;
    token.ID = kIdIdentifier;
    token.FinishPosition = pos - 1;
    return true;
}

bool SpreadSheetCustomFormulaParser::ReadReference(
    int& position, int finish, SpreadSheetReference& row, SpreadSheetReference& column) const
{
    const bool r1c1 = settings_.R1C1Reference;
    int pos = position;
    if (!SpreadSheetReferenceParser::Parse(formulaText_, pos, finish, row, column, r1c1)
        || !LocalizeComponent(row, anchorRow_, kMaxRowIndex, r1c1)
        || !LocalizeComponent(column, anchorColumn_, kMaxColumnIndex, r1c1))
        return false;
    position = pos;
    return true;
}

bool SpreadSheetCustomFormulaParser::ReadWholeReference(
    int start, int finish, SpreadSheetReference& row, SpreadSheetReference& column) const
{
    int pos = start;
    if (!ReadReference(pos, finish, row, column) || pos != finish + 1)
        return false;
    return settings_.R1C1Reference || !(row.IsAllItems() && !column.IsAllItems());
}

QString SpreadSheetCustomFormulaParser::SourceSpan(int start, int finish) const
{
    return formulaSourceText_.mid(start, finish - start + 1);
}

QString SpreadSheetCustomFormulaParser::QuotedContents(const SpreadSheetFormulaParserToken& token) const
{
    const QChar quote(static_cast<char16_t>(token.Data));
    QString text = SourceSpan(token.StartPosition + 1, token.FinishPosition - 1);
    text.replace(QString(2, quote), QString(quote));
    return text;
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::Create(
    int creator, const std::vector<SpreadSheetFormulaParserToken>& stack)
{
    const SpreadSheetFormulaParserToken& first = stack.front();
    switch (creator) {
    case crArray: {
        auto array = std::make_unique<SpreadSheetFormulaArrayToken>();
        const NestingLevel level(*this);
        ParseItems(array.get(), static_cast<int>(first.Data), static_cast<int>(first.Data2), true);
        return array;
    }
    case crErrorValue:
        return std::make_unique<SpreadSheetFormulaErrorValueToken>(
            static_cast<SpreadSheetFormulaErrorCode>(first.Data));
    case crFunctionCall:
        return CreateFunctionCall(stack);
    case crIdentifier:
        return CreateIdentifier(first);
    case crNumber:
        return CreateNumber(first);
    case crOperation:
        return std::make_unique<SpreadSheetFormulaOperationToken>(static_cast<SpreadSheetFormulaOperation>(first.Data));
    case crTextValue:
        return std::make_unique<SpreadSheetFormulaStringValueToken>(QuotedContents(first));
    case crParentheses: {
        auto parentheses = std::make_unique<SpreadSheetFormulaParenthesesToken>();
        const NestingLevel level(*this);
        TokenChain contents = ParseBody(static_cast<int>(first.Data), static_cast<int>(first.Data2));
        AdoptChildren(parentheses.get(), contents.Release());
        return parentheses;
    }
    case crReference:
        return CreateReference(stack);
    case crColumnRange:
        return CreateColumnRange(stack);
    case crUnknownName:
        return CreateUnknownExternal(stack, false);
    case crUnknownExternalFunction:
        return CreateUnknownExternal(stack, true);
    case crPlainText: {
        // The range operation stays one, so that the ends around it still fold into an area.
        const QString text = SourceSpan(first.StartPosition, stack.back().FinishPosition);
        if (text == settings_.Operation(opRange))
            return std::make_unique<SpreadSheetFormulaOperationToken>(opRange);
        return std::make_unique<SpreadSheetFormulaStringValueToken>(text);
    }
    default:
        return nullptr;
    }
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateIdentifier(
    const SpreadSheetFormulaParserToken& token)
{
    const QString name = SourceSpan(token.StartPosition, token.FinishPosition);
    const QStringView upper = QStringView(formulaText_).mid(token.StartPosition, name.size());
    if (upper == u"TRUE" || upper == u"FALSE")
        return std::make_unique<SpreadSheetFormulaBooleanValueToken>(upper == u"TRUE");
    if (TokenPtr definedName = CreateDefinedName(name, nullptr))
        return definedName;
    SpreadSheetReference row;
    SpreadSheetReference column;
    if (ReadWholeReference(token.StartPosition, token.FinishPosition, row, column))
        return MakeReferenceToken(row, column, CreateDefaultLink());
    return std::make_unique<SpreadSheetFormulaUnknownNameToken>(name);
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateNumber(
    const SpreadSheetFormulaParserToken& token)
{
    const QString text = SourceSpan(token.StartPosition, token.FinishPosition);
    if (token.ID == kIdInteger && text.size() <= 18) {
        const qint64 value = text.toLongLong();
        if (value <= std::numeric_limits<int>::max())
            return std::make_unique<SpreadSheetFormulaIntegerValueToken>(static_cast<int>(value));
    }
    QString invariant = text;
    invariant.replace(settings_.DecimalSeparator(), u'.');
    bool ok = false;
    const double value = invariant.toDouble(&ok);
    if (!ok)
        return nullptr;
    return std::make_unique<SpreadSheetFormulaFloatValueToken>(value);
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateFunctionCall(
    const std::vector<SpreadSheetFormulaParserToken>& stack)
{
    const SpreadSheetFormulaParserToken& name = stack[0];
    const SpreadSheetFormulaParserToken& arguments = stack[1];
    const QString spelling = SourceSpan(name.StartPosition, name.FinishPosition);
    const NestingLevel level(*this);
    SpreadSheetFunctionInfo* information = SpreadSheetFunctionsRepository::Instance().GetInfoByName(spelling);
    if (!information) {
        auto unknown = std::make_unique<SpreadSheetFormulaUnknownFunctionToken>(spelling);
        ParseItems(unknown.get(), static_cast<int>(arguments.Data), static_cast<int>(arguments.Data2), false);
        return unknown;
    }
    auto function = std::make_unique<SpreadSheetFormulaFunctionToken>(information);
    ParseItems(function.get(), static_cast<int>(arguments.Data), static_cast<int>(arguments.Data2), false);
    function->InitializeParamsInfo();
    return function;
}

int SpreadSheetCustomFormulaParser::ExternalLinkIndex(const SpreadSheetFormulaParserToken& token)
{
    const QString text = SourceSpan(static_cast<int>(token.Data), static_cast<int>(token.Data2)).trimmed();
    bool ok = !text.isEmpty() && std::all_of(text.begin(), text.end(), IsDigit);
    const int index = ok ? text.toInt(&ok) : 0;
    if (!ok || index < 1) {
        SetError(pecInvalidReference, token.StartPosition);
        return 0;
    }
    return index;
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheetCustomFormulaParser::CreatePrefixLink(
    const std::vector<SpreadSheetFormulaParserToken>& stack, std::size_t prefixCount, bool& valid)
{
    valid = true;
    if (prefixCount == 0)
        return CreateDefaultLink();
    const SpreadSheetFormulaParserToken& first = stack.front();
    switch (first.ID) {
    case kIdRefError:
        return std::make_unique<SpreadSheet3DReferenceLink>(nullptr);
    case kIdBrackets: {
        const int index = ExternalLinkIndex(first);
        valid = index > 0;
        if (!valid)
            return nullptr;
        const bool hasSheet = prefixCount >= 3 && stack[1].ID == kIdIdentifier;
        return CreateExternalLink(
            index, hasSheet ? SourceSpan(stack[1].StartPosition, stack[1].FinishPosition) : QString());
    }
    case kIdQuotedText:
        return std::make_unique<SpreadSheet3DReferenceLink>(FindSheet(QuotedContents(first)));
    default:
        return std::make_unique<SpreadSheet3DReferenceLink>(
            FindSheet(SourceSpan(first.StartPosition, first.FinishPosition)));
    }
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::MakeReferenceToken(
    const SpreadSheetReference& row, const SpreadSheetReference& column,
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link) const
{
    if (link)
        return std::make_unique<SpreadSheetFormula3DReferenceToken>(row, column, std::move(link));
    return std::make_unique<SpreadSheetFormulaReferenceToken>(row, column);
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateReference(
    const std::vector<SpreadSheetFormulaParserToken>& stack)
{
    bool valid = true;
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link = CreatePrefixLink(stack, stack.size() - 1, valid);
    if (!valid)
        return nullptr;
    const SpreadSheetFormulaParserToken& target = stack.back();
    if (target.ID == kIdReference)
        return MakeReferenceToken(Unpack(target.Data), Unpack(target.Data2), std::move(link));
    if (target.ID == kIdRefError) {
        SpreadSheetReference invalid = SpreadSheetReference::Invalid();
        invalid.SetIsError(true);
        return MakeReferenceToken(invalid, invalid, std::move(link));
    }
    const QString name = SourceSpan(target.StartPosition, target.FinishPosition);
    if (TokenPtr definedName = CreateDefinedName(name, link.get()))
        return definedName;
    SpreadSheetReference row;
    SpreadSheetReference column;
    if (ReadWholeReference(target.StartPosition, target.FinishPosition, row, column))
        return MakeReferenceToken(row, column, std::move(link));
    return std::make_unique<SpreadSheetFormulaUnknownNameToken>(name, std::move(link));
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateColumnRange(
    const std::vector<SpreadSheetFormulaParserToken>& stack)
{
    bool valid = true;
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link = CreatePrefixLink(stack, stack.size() - 1, valid);
    if (!valid)
        return nullptr;
    const SpreadSheetFormulaParserToken& range = stack.back();
    const SpreadSheetReference allRows = SpreadSheetReference::AllItems();
    return MakeArea(allRows, Unpack(range.Data), allRows, Unpack(range.Data2), std::move(link));
}

SpreadSheetAbstractFormulaParser::TokenPtr SpreadSheetCustomFormulaParser::CreateUnknownExternal(
    const std::vector<SpreadSheetFormulaParserToken>& stack, bool isFunction)
{
    // [n]!name or [n]!name(arguments)
    const int index = ExternalLinkIndex(stack[0]);
    if (index == 0)
        return nullptr;
    const QString name = SourceSpan(stack[2].StartPosition, stack[2].FinishPosition);
    if (!isFunction)
        return std::make_unique<SpreadSheetFormulaUnknownNameToken>(name, CreateExternalLink(index, QString()));
    auto function
        = std::make_unique<SpreadSheetFormulaUnknownFunctionToken>(name, CreateExternalLink(index, QString()));
    const NestingLevel level(*this);
    ParseItems(function.get(), static_cast<int>(stack[3].Data), static_cast<int>(stack[3].Data2), false);
    return function;
}

// ---------------------------------------------------------------------------------------------
// SpreadSheetFormulaParser
// ---------------------------------------------------------------------------------------------

SpreadSheetFormulaParser::SpreadSheetFormulaParser(SpreadSheet* workbook)
    : SpreadSheetCustomFormulaParser(workbook->FormatSettings())
    , workbook_(workbook)
{
}

SpreadSheetFormulaParser::~SpreadSheetFormulaParser() = default;

SpreadSheetTableView* SpreadSheetFormulaParser::FindSheet(const QString& caption) const
{
    return workbook_->GetSheetByName(caption);
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheetFormulaParser::CreateDefaultLink() const
{
    // Formulas outside a sheet (defined names) follow their own sheet or the active one.
    if (formula_ && !formula_->View())
        return std::make_unique<SpreadSheet3DReferenceAutoLink>(workbook_);
    return nullptr;
}

bool ParseFormula(const QString& formulaText, SpreadSheetCustomFormula& formula)
{
    if (SpreadSheet* workbook = formula.Workbook())
        return SpreadSheetFormulaParser(workbook).ParseFormula(formulaText, formula);
    return SpreadSheetCustomFormulaParser(formula.FormatSettings()).ParseFormula(formulaText, formula);
}

} // namespace quorvel
