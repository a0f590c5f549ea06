#include "formulas/SpreadSheetFormulaTokens.h"

#include "formulas/SpreadSheetFormula.h"
#include "functions/SpreadSheetFunctions.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableView.h"

#include <algorithm>
#include <limits>

namespace quorvel {

// ---------------------------------------------------------------------------------------------
// Links
// ---------------------------------------------------------------------------------------------

SpreadSheet3DReferenceLink::SpreadSheet3DReferenceLink(SpreadSheetTableView* view)
    : view_(view)
{
    if (view)
        alive_ = view->Lifetime();
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheet3DReferenceLink::Clone() const
{
    return std::make_unique<SpreadSheet3DReferenceLink>(View(nullptr));
}

SpreadSheetTableView* SpreadSheet3DReferenceLink::View(const SpreadSheetCustomFormula*) const
{
    return alive_.expired() ? nullptr : view_;
}

bool SpreadSheet3DReferenceLink::IsInvalid() const { return alive_.expired(); }

QString SpreadSheet3DReferenceLink::Prefix(const SpreadSheetFormatSettings&) const
{
    if (IsInvalid())
        return serRefError.Text();
    return SpreadSheetReferenceAsString::BuildViewReference(view_);
}

SpreadSheet3DReferenceAutoLink::SpreadSheet3DReferenceAutoLink(SpreadSheet* workbook)
    : workbook_(workbook)
{
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheet3DReferenceAutoLink::Clone() const
{
    return std::make_unique<SpreadSheet3DReferenceAutoLink>(workbook_);
}

SpreadSheetTableView* SpreadSheet3DReferenceAutoLink::View(const SpreadSheetCustomFormula* formula) const
{
    if (formula && formula->View())
        return formula->View();
    return workbook_ ? workbook_->ActiveSheet() : nullptr;
}

SpreadSheet3DExternalReferenceLink::SpreadSheet3DExternalReferenceLink(
    int linkIndex, QString target, QString sheetName)
    : SpreadSheet3DReferenceCustomExternalLink(std::move(target))
    , linkIndex_(linkIndex)
    , sheetName_(std::move(sheetName))
{
}

std::unique_ptr<SpreadSheet3DReferenceCustomLink> SpreadSheet3DExternalReferenceLink::Clone() const
{
    return std::make_unique<SpreadSheet3DExternalReferenceLink>(linkIndex_, name_, sheetName_);
}

QString SpreadSheet3DExternalReferenceLink::Prefix(const SpreadSheetFormatSettings& settings) const
{
    if (!settings.ExpandExternalLinks || name_.isEmpty())
        return u'[' + QString::number(linkIndex_) + u']' + sheetName_ + u'!';
    // A "file:" address is printed as it is; any other target goes in brackets.
    const QString target = name_.startsWith(u"file:", Qt::CaseInsensitive) ? name_ : u'[' + name_ + u']';
    QString prefix = target + sheetName_;
    prefix.replace(QStringLiteral("'"), QStringLiteral("''"));
    return u'\'' + prefix + QStringLiteral("'!");
}

// ---------------------------------------------------------------------------------------------
// Token tree
// ---------------------------------------------------------------------------------------------

int FormulaOperationPriority(SpreadSheetFormulaOperation operation)
{
    switch (operation) {
    case opAdd:
    case opSub:
        return 2;
    case opMul:
    case opDiv:
        return 3;
    case opPower:
        return 4;
    case opUplus:
    case opUminus:
        return 6;
    case opPercent:
    case opParen:
        return -1;
    default:
        return 1;
    }
}

SpreadSheetFormulaToken::SpreadSheetFormulaToken() = default;

SpreadSheetFormulaToken::SpreadSheetFormulaToken(SpreadSheetFormulaTokenKind kind)
    : kind_(kind)
{
}

SpreadSheetFormulaToken::~SpreadSheetFormulaToken()
{
    DestroyTokens(childFirst_);
    childLast_ = nullptr;
    if (!isDestroyingByParent_)
        ExtractFromList();
}

void SpreadSheetFormulaToken::SetOwnerOfChain(SpreadSheetCustomFormula* owner)
{
    for (SpreadSheetFormulaToken* token = this; token; token = token->next_) {
        token->owner_ = owner;
        if (token->childFirst_)
            token->childFirst_->SetOwnerOfChain(owner);
    }
}

int SpreadSheetFormulaToken::ChildCount() const
{
    int count = 0;
    for (const SpreadSheetFormulaToken* child = childFirst_; child; child = child->next_)
        ++count;
    return count;
}

void SpreadSheetFormulaToken::SetSource(int start, int finish)
{
    constexpr int kMax = std::numeric_limits<std::uint16_t>::max();
    sourceStart_ = static_cast<std::uint16_t>(std::clamp(start, 0, kMax));
    sourceFinish_ = static_cast<std::uint16_t>(std::clamp(finish, 0, kMax));
}

void SpreadSheetFormulaToken::Add(SpreadSheetFormulaToken* prev, SpreadSheetFormulaToken* token)
{
    if (!prev)
        return;
    token->parent_ = prev->parent_;
    token->prev_ = prev;
    token->next_ = prev->next_;
    if (prev->next_)
        prev->next_->prev_ = token;
    else if (prev->parent_)
        prev->parent_->childLast_ = token;
    prev->next_ = token;
}

void SpreadSheetFormulaToken::AddChild(SpreadSheetFormulaToken* parent, SpreadSheetFormulaToken* token)
{
    token->parent_ = parent;
    token->prev_ = parent->childLast_;
    token->next_ = nullptr;
    if (parent->childLast_)
        parent->childLast_->next_ = token;
    else
        parent->childFirst_ = token;
    parent->childLast_ = token;
}

void SpreadSheetFormulaToken::Append(SpreadSheetFormulaToken*& first, SpreadSheetFormulaToken* token)
{
    if (!first) {
        first = token;
        return;
    }
    SpreadSheetFormulaToken* last = first;
    while (last->next_)
        last = last->next_;
    Add(last, token);
}

void SpreadSheetFormulaToken::ExtractFromList()
{
    if (prev_)
        prev_->next_ = next_;
    else if (parent_)
        parent_->childFirst_ = next_;
    if (next_)
        next_->prev_ = prev_;
    else if (parent_)
        parent_->childLast_ = prev_;
    prev_ = next_ = parent_ = nullptr;
}

void SpreadSheetFormulaToken::Remove()
{
    ExtractFromList();
    delete this;
}

void SpreadSheetFormulaToken::Replace(SpreadSheetFormulaToken* token)
{
    token->ExtractFromList();
    token->parent_ = parent_;
    token->prev_ = prev_;
    token->next_ = next_;
    if (prev_)
        prev_->next_ = token;
    else if (parent_)
        parent_->childFirst_ = token;
    if (next_)
        next_->prev_ = token;
    else if (parent_)
        parent_->childLast_ = token;
    prev_ = next_ = parent_ = nullptr;
    delete this;
}

void SpreadSheetFormulaToken::DestroyTokens(SpreadSheetFormulaToken*& first)
{
    SpreadSheetFormulaToken* token = first;
    first = nullptr;
    while (token) {
        SpreadSheetFormulaToken* next = token->next_;
        token->isDestroyingByParent_ = true;
        delete token;
        token = next;
    }
}

SpreadSheetFormulaToken* SpreadSheetFormulaToken::FindToken(int position, SpreadSheetFormulaToken* chain)
{
    for (SpreadSheetFormulaToken* token = chain; token; token = token->next_) {
        SpreadSheetFormulaToken* inner = FindToken(position, token->childFirst_);
        if (inner)
            return inner;
        if (token->sourceFinish_ > 0 && position >= token->sourceStart_ && position <= token->sourceFinish_)
            return token;
    }
    return nullptr;
}

void SpreadSheetFormulaToken::ClearCache()
{
    for (SpreadSheetFormulaToken* child = childFirst_; child; child = child->next_)
        child->ClearCache();
}

void SpreadSheetFormulaArrayToken::ClearCache()
{
    isDimensionCalculated_ = false;
    SpreadSheetListToken::ClearCache();
}

// ---------------------------------------------------------------------------------------------
// Token classes
// ---------------------------------------------------------------------------------------------

SpreadSheetFormulaDefinedNameToken::SpreadSheetFormulaDefinedNameToken(
    QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link)
    : SpreadSheetFormulaStringValueToken(tkDefinedName, std::move(name))
    , link_(std::move(link))
{
}

SpreadSheetFormulaDefinedNameToken::~SpreadSheetFormulaDefinedNameToken() = default;

SpreadSheetTableView* SpreadSheetFormulaReferenceToken::TargetView() const
{
    if (const SpreadSheet3DReferenceCustomLink* link = Link())
        return link->View(Owner());
    return Owner() ? Owner()->View() : nullptr;
}

namespace {

// Actual index of a component seen from `origin`; whole lines span 0..`maxIndex`.
bool ActualRange(const SpreadSheetReference& first, const SpreadSheetReference& last, int origin, int maxIndex,
    int& from, int& to)
{
    if (first.IsError() || last.IsError())
        return false;
    if (first.IsAllItems() || last.IsAllItems()) {
        from = 0;
        to = maxIndex;
        return true;
    }
    from = first.ActualValue(origin);
    to = last.ActualValue(origin);
    if (from > to)
        std::swap(from, to);
    return from >= 0 && to <= maxIndex;
}

} // namespace

bool SpreadSheetFormulaReferenceToken::GetArea(SpreadSheetArea& area) const
{
    const int anchorRow = Owner() ? Owner()->AnchorRow() : 0;
    const int anchorColumn = Owner() ? Owner()->AnchorColumn() : 0;
    return ActualRange(row_, row_, anchorRow, kMaxRowIndex, area.top, area.bottom)
        && ActualRange(column_, column_, anchorColumn, kMaxColumnIndex, area.left, area.right);
}

bool SpreadSheetFormulaAreaReferenceToken::GetArea(SpreadSheetArea& area) const
{
    const int anchorRow = Owner() ? Owner()->AnchorRow() : 0;
    const int anchorColumn = Owner() ? Owner()->AnchorColumn() : 0;
    return ActualRange(row_, row2_, anchorRow, kMaxRowIndex, area.top, area.bottom)
        && ActualRange(column_, column2_, anchorColumn, kMaxColumnIndex, area.left, area.right);
}

void SpreadSheetFormulaAreaReferenceToken::Check()
{
    const int anchorRow = Owner() ? Owner()->AnchorRow() : 0;
    const int anchorColumn = Owner() ? Owner()->AnchorColumn() : 0;
    const auto ordered = [](const SpreadSheetReference& a, const SpreadSheetReference& b, int origin) {
        if (a.IsError() || b.IsError() || a.IsAllItems() || b.IsAllItems())
            return true;
        return a.ActualValue(origin) <= b.ActualValue(origin);
    };
    if (!ordered(row_, row2_, anchorRow))
        std::swap(row_, row2_);
    if (!ordered(column_, column2_, anchorColumn))
        std::swap(column_, column2_);
}

SpreadSheetFormula3DReferenceToken::SpreadSheetFormula3DReferenceToken(const SpreadSheetReference& row,
    const SpreadSheetReference& column, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link)
    : SpreadSheetFormulaReferenceToken(tk3DReference, row, column)
    , link_(std::move(link))
{
}

SpreadSheetFormula3DReferenceToken::~SpreadSheetFormula3DReferenceToken() = default;

SpreadSheetFormula3DAreaReferenceToken::SpreadSheetFormula3DAreaReferenceToken(const SpreadSheetReference& row,
    const SpreadSheetReference& column, const SpreadSheetReference& row2, const SpreadSheetReference& column2,
    std::unique_ptr<SpreadSheet3DReferenceCustomLink> link, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link2)
    : SpreadSheetFormulaAreaReferenceToken(tk3DAreaReference, row, column, row2, column2)
    , link_(std::move(link))
    , link2_(std::move(link2))
{
}

SpreadSheetFormula3DAreaReferenceToken::~SpreadSheetFormula3DAreaReferenceToken() = default;

SpreadSheetFormulaFunctionToken::SpreadSheetFormulaFunctionToken(SpreadSheetFunctionInfo* information)
    : SpreadSheetListToken(tkFunction)
    , information_(information)
{
}

SpreadSheetFormulaFunctionToken::~SpreadSheetFormulaFunctionToken() = default;

void SpreadSheetFormulaFunctionToken::InitializeParamsInfo()
{
    paramKinds_.clear();
    if (!information_ || !information_->ParamInfo())
        return;
    for (SpreadSheetFunctionParamKind kind : *information_->ParamInfo())
        paramKinds_.push_back(static_cast<std::uint8_t>(kind));
    if (paramKinds_.empty())
        return;
    const auto last = static_cast<SpreadSheetFunctionParamKind>(paramKinds_.back());
    if (last != fpkUnlimited && last != fpkNonRequiredUnlimited)
        return;
    // An unlimited list takes as many arguments as were given; the extra ones are optional values.
    const int count = ChildCount();
    while (static_cast<int>(paramKinds_.size()) < count)
        paramKinds_.push_back(static_cast<std::uint8_t>(fpkNonRequiredValue));
}

void SpreadSheetFormulaFunctionToken::ClearCache()
{
    hasCachedValue_ = false;
    cachedValue_ = {};
    cachedError_ = ecNone;
    SpreadSheetListToken::ClearCache();
}

SpreadSheetFormulaUnknownToken::SpreadSheetFormulaUnknownToken(
    SpreadSheetFormulaTokenKind kind, QString name, std::unique_ptr<SpreadSheet3DReferenceCustomLink> link)
    : SpreadSheetListToken(kind)
    , name_(std::move(name))
    , link_(std::move(link))
{
}

SpreadSheetFormulaUnknownToken::~SpreadSheetFormulaUnknownToken() = default;

} // namespace quorvel
