#pragma once

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetTypes.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheet3DReferenceCustomLink;
class SpreadSheetCustomFormula;
class SpreadSheetFormulaToken;
class SpreadSheetReference;
class SpreadSheetTableView;

enum class SpreadSheetFormulaParserErrorCode : std::uint8_t {
    pecNone,
    pecUnknownIdentifier,
    pecUnknownIdentifierInParameterList,
    pecUnexpectedEndOfExternalReference,
    pecUnexpectedEndOfString,
    pecUnexpectedEndOfExpression,
    pecUnexpectedEndOfArray,
    pecInvalidReference,
    pecInvalidExpression,
};
using enum SpreadSheetFormulaParserErrorCode;

/// The formula error a formula with this parse error carries ("#NAME?" for names the parser could
/// not read, none for broken structure).
SpreadSheetFormulaErrorCode FormulaErrorOfParserError(SpreadSheetFormulaParserErrorCode code);

/// One lexical token of the element reader. Positions are 0-based and inclusive in the text after
/// the "=" prefix; the payloads depend on the token ID (group contents, error code, operation,
/// reference components).
struct SpreadSheetFormulaParserToken {
    int ID = 0;
    std::int64_t Data = 0;
    std::int64_t Data2 = 0;
    int StartPosition = 0;
    int FinishPosition = 0;
};

/// Texts with a value each, searched from the longest entry down so that the longest match wins
/// ("<=" before "<"). A text already present keeps its first value.
class SpreadSheetFormulaParserIdentList {
public:
    void Add(const QString& text, int value);
    bool IsEmpty() const { return items_.empty(); }
    /// The longest entry that `text` starts with: its value and length; false when none.
    bool Find(QStringView text, int& value, int& length) const;

private:
    std::vector<std::pair<QString, int>> items_;
};

/// Expression structure shared by every formula syntax: separators, blanks, range folding, unary
/// operators, the operator-precedence pass into postfix order, argument lists, error bookkeeping
/// and the limits. Reading one element (a value, a reference, a call, an operator) is left to the
/// lexer of a subclass.
class SpreadSheetAbstractFormulaParser {
public:
    explicit SpreadSheetAbstractFormulaParser(const SpreadSheetFormatSettings& settings);
    virtual ~SpreadSheetAbstractFormulaParser();
    SpreadSheetAbstractFormulaParser(const SpreadSheetAbstractFormulaParser&) = delete;
    SpreadSheetAbstractFormulaParser& operator=(const SpreadSheetAbstractFormulaParser&) = delete;

    const SpreadSheetFormatSettings& FormatSettings() const { return settings_; }

    /// False only when the text does not begin with "=". Otherwise fills the formula's source text
    /// and token chain; on a syntax error the formula keeps no tokens and stores the position and
    /// formula error of the first error. A formula beyond the limits raises
    /// ESpreadSheetFormulaIsTooLongError with the formula text as message.
    bool ParseFormula(const QString& formulaText, SpreadSheetCustomFormula& formula);

    /// The first error of the last parse.
    SpreadSheetFormulaParserErrorCode ErrorCode() const { return errorCode_; }
    /// 1-based position of the first error in the whole formula text (prefix included); 0 = none.
    int ErrorIndex() const { return errorIndex_ > 0 ? errorIndex_ + formulaOffset_ : 0; }

protected:
    /// Owns a sibling chain of tokens under construction.
    class TokenChain {
    public:
        TokenChain() = default;
        TokenChain(TokenChain&& other) noexcept;
        TokenChain& operator=(TokenChain&& other) noexcept;
        ~TokenChain();
        SpreadSheetFormulaToken* First() const { return first_; }
        void Append(std::unique_ptr<SpreadSheetFormulaToken> token);
        SpreadSheetFormulaToken* Release();

    private:
        SpreadSheetFormulaToken* first_ = nullptr;
        SpreadSheetFormulaToken* last_ = nullptr;
    };

    using TokenPtr = std::unique_ptr<SpreadSheetFormulaToken>;

    /// Reads one element starting at `position` (blanks already skipped); on success moves
    /// `position` past it. Null with an error recorded when nothing could be read.
    virtual TokenPtr ReadElement(int& position, int finish) = 0;
    /// Called before each parse, after the formula's texts and anchor are known.
    virtual void Prepare() { }
    /// The whole text after the prefix (leading blanks skipped): ParseBody, unless a subclass reads
    /// the text in its own way.
    virtual TokenChain ParseText(int start, int finish) { return ParseBody(start, finish); }

    /// The whole formula or the inside of parentheses: one expression, or a list of items when the
    /// list separator follows it.
    TokenChain ParseBody(int start, int finish);
    /// Items of a function, unknown function or array: each wrapped in a holder child of `parent`.
    void ParseItems(SpreadSheetFormulaToken* parent, int start, int finish, bool isArray);
    /// One more level of groups for as long as it lives; raises ESpreadSheetFormulaIsTooLongError
    /// beyond the limit, so that hostile input cannot exhaust the stack.
    class NestingLevel {
    public:
        explicit NestingLevel(SpreadSheetAbstractFormulaParser& parser);
        ~NestingLevel() { --parser_.nestingLevel_; }
        NestingLevel(const NestingLevel&) = delete;
        NestingLevel& operator=(const NestingLevel&) = delete;

    private:
        SpreadSheetAbstractFormulaParser& parser_;
    };

    void SetError(SpreadSheetFormulaParserErrorCode code, int position);
    bool HasError() const { return errorCode_ != pecNone; }
    void SkipBlanks(int& position, int finish) const;
    /// Joins "end : end" runs of elements into single area tokens.
    void FoldRanges(std::vector<TokenPtr>& elements);
    /// An area token, on the linked sheet(s) when `link` is given, with its corners in order.
    TokenPtr MakeArea(const SpreadSheetReference& row, const SpreadSheetReference& column,
        const SpreadSheetReference& row2, const SpreadSheetReference& column2,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link2 = nullptr) const;
    /// Stores the 0-based inclusive span of the text after the prefix as the token's source span.
    void SetSource(SpreadSheetFormulaToken& token, int start, int finish) const;
    /// The token's source span back in 0-based positions of the text after the prefix.
    int SourceStartOf(const SpreadSheetFormulaToken& token) const;
    bool IsBreakChar(int position) const;
    QChar CharAt(int position) const;

    SpreadSheetFormatSettings settings_;
    SpreadSheetCustomFormula* formula_ = nullptr;
    QString formulaSourceText_; // the text after the prefix, as typed
    QString formulaText_; // the same in upper case; all matching is done on it
    int formulaOffset_ = 0;
    int anchorRow_ = 0;
    int anchorColumn_ = 0;
    bool canSpaceBeSignificant_ = false;
    bool isRangeOperatorSupported_ = false;
    bool arraySeparatorEndsParameter_ = false;

private:
    TokenChain ParseExpression(int& position, int finish, bool inArray);
    void ParseItemsFrom(SpreadSheetFormulaToken* parent, int position, int finish, bool isArray);
    bool IsSeparator(int position, bool inArray) const;
    TokenPtr MakeRange(TokenPtr first, TokenPtr last) const;
    void ResolveUnaryOperations(std::vector<TokenPtr>& elements);
    TokenChain ToPostfix(std::vector<TokenPtr>& elements);
    void CheckPostfix(const TokenChain& chain, int start);

    int errorIndex_ = 0; // 1-based in the text after the prefix
    SpreadSheetFormulaParserErrorCode errorCode_ = pecNone;
    int nestingLevel_ = 0;
};

/// The lexer of formula text: a table-driven state machine whose states try ordered lists of
/// recognisers and turn the lexical tokens they read into one formula token. It knows no
/// workbook: the hooks for sheets, defined names and links answer for a formula on its own.
class SpreadSheetCustomFormulaParser : public SpreadSheetAbstractFormulaParser {
public:
    explicit SpreadSheetCustomFormulaParser(const SpreadSheetFormatSettings& settings);
    ~SpreadSheetCustomFormulaParser() override;

protected:
    /// The sheet whose caption equals `caption`; null when there is none.
    virtual SpreadSheetTableView* FindSheet(const QString& caption) const;
    /// A defined-name token for `name` as seen from `scope` (a sheet, or the formula's sheet and
    /// then the workbook when null); null when there is no such name.
    virtual TokenPtr CreateDefinedName(const QString& name, const SpreadSheet3DReferenceCustomLink* scope) const;
    /// The link to sheet `sheetName` (may be empty) of external workbook `index` (1-based).
    virtual std::unique_ptr<SpreadSheet3DReferenceCustomLink> CreateExternalLink(
        int index, const QString& sheetName) const;
    /// The link of references without a sheet prefix; null when they stay on the formula's sheet.
    virtual std::unique_ptr<SpreadSheet3DReferenceCustomLink> CreateDefaultLink() const;
    /// False for a reader of references only: operators, parentheses and braces are then plain
    /// text, so that a formula still being typed reads up to its end.
    virtual bool ReadsStructure() const { return true; }

    TokenPtr ReadElement(int& position, int finish) override;
    void Prepare() override;

private:
    bool Recognise(int recogniser, int position, int finish, SpreadSheetFormulaParserToken& token);
    bool RecogniseNumber(int position, int finish, SpreadSheetFormulaParserToken& token) const;
    bool RecogniseQuotedText(int position, int finish, SpreadSheetFormulaParserToken& token);
    bool RecogniseGroup(int position, int finish, QChar open, QChar close, int id,
        SpreadSheetFormulaParserErrorCode missingCloser, SpreadSheetFormulaParserToken& token);
    bool RecogniseErrorLiteral(int position, int finish, SpreadSheetFormulaParserToken& token) const;
    bool RecogniseOperation(int position, int finish, SpreadSheetFormulaParserToken& token) const;
    bool RecogniseReference(int position, int finish, SpreadSheetFormulaParserToken& token) const;
    bool RecogniseIdentifier(int position, int finish, SpreadSheetFormulaParserToken& token) const;
    /// Reads one reference inside the grid at `position`; relative A1 parts become offsets from the
    /// anchor.
    bool ReadReference(int& position, int finish, SpreadSheetReference& row, SpreadSheetReference& column) const;
    /// The whole span as one reference (in A1 notation not a bare column).
    bool ReadWholeReference(int start, int finish, SpreadSheetReference& row, SpreadSheetReference& column) const;

    TokenPtr Create(int creator, const std::vector<SpreadSheetFormulaParserToken>& stack);
    TokenPtr CreateIdentifier(const SpreadSheetFormulaParserToken& token);
    TokenPtr CreateNumber(const SpreadSheetFormulaParserToken& token);
    TokenPtr CreateFunctionCall(const std::vector<SpreadSheetFormulaParserToken>& stack);
    TokenPtr CreateReference(const std::vector<SpreadSheetFormulaParserToken>& stack);
    TokenPtr CreateColumnRange(const std::vector<SpreadSheetFormulaParserToken>& stack);
    TokenPtr CreateUnknownExternal(const std::vector<SpreadSheetFormulaParserToken>& stack, bool isFunction);
    /// The link named by the lexical tokens before the target; `valid` false after an error.
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> CreatePrefixLink(
        const std::vector<SpreadSheetFormulaParserToken>& stack, std::size_t prefixCount, bool& valid);
    /// The external workbook number of a bracketed group; 0 with pecInvalidReference when invalid.
    int ExternalLinkIndex(const SpreadSheetFormulaParserToken& token);
    TokenPtr MakeReferenceToken(const SpreadSheetReference& row, const SpreadSheetReference& column,
        std::unique_ptr<SpreadSheet3DReferenceCustomLink> link) const;
    QString SourceSpan(int start, int finish) const;
    QString QuotedContents(const SpreadSheetFormulaParserToken& token) const;

    SpreadSheetFormulaParserIdentList knownErrors_;
    SpreadSheetFormulaParserIdentList knownOperations_;
};

/// The parser of one workbook: sheet captions bind sheet prefixes, and formulas that live outside a
/// sheet follow their own sheet or the active one.
class SpreadSheetFormulaParser : public SpreadSheetCustomFormulaParser {
public:
    explicit SpreadSheetFormulaParser(SpreadSheet* workbook);
    ~SpreadSheetFormulaParser() override;
    SpreadSheet* Workbook() const { return workbook_; }

protected:
    SpreadSheetTableView* FindSheet(const QString& caption) const override;
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> CreateDefaultLink() const override;

private:
    SpreadSheet* workbook_;
};

/// Parses with a parser of the formula's workbook, or with the formula's own settings when it has
/// none. See SpreadSheetAbstractFormulaParser::ParseFormula.
bool ParseFormula(const QString& formulaText, SpreadSheetCustomFormula& formula);

} // namespace quorvel
