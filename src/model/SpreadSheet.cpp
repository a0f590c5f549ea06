#include "model/SpreadSheet.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableView.h"
#include "platform/LocaleData.h"

#include <QScopeGuard>

#include <algorithm>

namespace quorvel {

namespace {

bool sameCaption(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Characters a sheet name cannot hold become spaces, the name is cut to 31 characters and loses
// its enclosing apostrophes.
QString cleanCaption(QString caption)
{
    static const QString forbidden = QStringLiteral("\u0003*/:?[\\]");
    for (QChar& c : caption)
        if (c.unicode() == 0 || forbidden.contains(c))
            c = u' ';
    caption.truncate(kMaxSheetCaptionLength);
    while (caption.startsWith(u'\''))
        caption.remove(0, 1);
    while (caption.endsWith(u'\''))
        caption.chop(1);
    return caption;
}

} // namespace

SpreadSheet::SpreadSheet()
    : SpreadSheet(QString())
{
}

SpreadSheet::SpreadSheet(const QString& localeName)
{
    Initialize(LocaleData::ForName(localeName));
    AddSheet();
}

SpreadSheet::~SpreadSheet()
{
    state_ |= sssDestroying;
    history_->Lock();
    sheets_.clear();
}

void SpreadSheet::Initialize(const LocaleData& data)
{
    formatSettings_ = std::make_unique<SpreadSheetFormatSettings>(data);
    formatSettings_->ExpandExternalLinks = true;
    systemFormatSettings_ = std::make_unique<SpreadSheetFormatSettings>(data);
    cellStyles_ = std::make_unique<SpreadSheetCellStyles>(data);
    stringTable_ = std::make_unique<SpreadSheetSharedStringTable>(cellStyles_->Fonts());
    history_ = std::make_unique<SpreadSheetHistory>(this);
    formulaController_ = std::make_unique<SpreadSheetFormulaController>(this);
}

void SpreadSheet::SetLocale(const LocaleData& data)
{
    formatSettings_->ApplyLocale(data);
    systemFormatSettings_->ApplyLocale(data);
    AddChanges(sscData | sscLayout);
}

SpreadSheetTableView* SpreadSheet::Sheets(int index) const
{
    return index >= 0 && index < SheetCount() ? sheets_[static_cast<size_t>(index)].get() : nullptr;
}

SpreadSheetTableView* SpreadSheet::VisibleSheets(int index) const
{
    return index >= 0 && index < VisibleSheetCount() ? visibleSheets_[static_cast<size_t>(index)] : nullptr;
}

SpreadSheetTableView* SpreadSheet::GetSheetByName(const QString& caption) const
{
    for (const auto& sheet : sheets_)
        if (sameCaption(sheet->Caption(), caption))
            return sheet.get();
    return nullptr;
}

QString SpreadSheet::MakeSheetCaption(const QString& caption, const SpreadSheetTableView* except) const
{
    const auto taken = [&](const QString& name) {
        const SpreadSheetTableView* sheet = GetSheetByName(name);
        return sheet != nullptr && sheet != except;
    };
    if (caption.isEmpty()) {
        for (int n = 1;; ++n) {
            const QString name = sDefaultSheetCaption.Format({ QString::number(n) });
            if (!taken(name))
                return name;
        }
    }
    QString name = cleanCaption(caption);
    if (caption.size() > kMaxSheetCaptionLength && taken(name)) {
        // A long name whose cut form is taken gets a free number in its last characters.
        for (int n = 1;; ++n) {
            const QString suffix = QString::number(n);
            const QString candidate = name.left(kMaxSheetCaptionLength - suffix.size()) + suffix;
            if (!taken(candidate))
                return candidate;
        }
    }
    return name;
}

SpreadSheetTableView* SpreadSheet::AddSheet(const QString& caption)
{
    // A long name whose cut form is taken comes back numbered; any other taken name means the
    // sheet exists already.
    const QString name = MakeSheetCaption(caption);
    if (SpreadSheetTableView* existing = GetSheetByName(name))
        return existing;
    BeginUpdate();
    history_->Lock();
    sheets_.push_back(std::make_unique<SpreadSheetTableView>(this, name));
    SpreadSheetTableView* sheet = sheets_.back().get();
    RebuildVisibleSheets();
    if (activeSheetIndex_ < 0)
        ApplyActiveSheetIndex(0, nullptr);
    history_->Unlock();
    AddChanges(sscLayout | sscModified);
    EndUpdate();
    return sheet;
}

SpreadSheetTableView* SpreadSheet::InsertSheet(int index, const QString& caption)
{
    // TODO: refuse while the workbook structure is protected, once protection exists.
    if (index < 0)
        index = std::max(activeSheetIndex_, 0);
    SpreadSheetTableView* sheet = AddSheet(caption);
    sheet->SetIndex(std::clamp(index, 0, SheetCount() - 1));
    SetActiveSheetIndex(sheet->Index());
    return sheet;
}

void SpreadSheet::DeleteSheet(SpreadSheetTableView* sheet)
{
    const auto it
        = std::find_if(sheets_.begin(), sheets_.end(), [sheet](const auto& item) { return item.get() == sheet; });
    if (it == sheets_.end())
        return;
    BeginUpdate();
    history_->Lock();
    SpreadSheetTableView* active = ActiveSheet();
    std::unique_ptr<SpreadSheetTableView> removed = std::move(*it);
    sheets_.erase(it);
    RebuildVisibleSheets();
    // TODO: drop the defined names that belong to the sheet, once defined names exist.
    ApplyActiveSheetIndex(active == sheet ? activeSheetIndex_ : active->Index(), active);
    removed.reset();
    history_->Unlock();
    AddChanges(sscLayout | sscData | sscModified);
    EndUpdate();
}

void SpreadSheet::ClearAll()
{
    BeginUpdate();
    history_->Lock();
    sheets_.clear();
    visibleSheets_.clear();
    activeSheetIndex_ = -1;
    cellStyles_->ResetDefaultStyle();
    history_->Unlock();
    history_->Clear();
    AddChanges(sscLayout | sscData | sscModified);
    EndUpdate();
}

SpreadSheetTableView* SpreadSheet::ActiveSheet() const { return Sheets(activeSheetIndex_); }

void SpreadSheet::SetActiveSheetIndex(int index) { ApplyActiveSheetIndex(index, ActiveSheet()); }

// The active sheet is always a visible one: the last visible sheet at or before the requested
// index, else the first (request below all) or the last visible sheet.
void SpreadSheet::ApplyActiveSheetIndex(int index, SpreadSheetTableView* previous)
{
    int newIndex = -1;
    if (!visibleSheets_.empty()) {
        for (SpreadSheetTableView* sheet : visibleSheets_)
            if (sheet->Index() <= index)
                newIndex = sheet->Index();
        if (newIndex < 0)
            newIndex = index < visibleSheets_.front()->Index() ? visibleSheets_.front()->Index()
                                                               : visibleSheets_.back()->Index();
    }
    activeSheetIndex_ = newIndex;
    if (ActiveSheet() == previous)
        return;
    NotifyListeners(&ISpreadSheetListener::ActiveSheetChanged);
    AddChanges(sscLayout | sscBiDiMode);
    if (OnActiveSheetChanged && !IsLoading())
        OnActiveSheetChanged();
}

void SpreadSheet::SheetVisibilityChanged()
{
    SpreadSheetTableView* active = ActiveSheet();
    RebuildVisibleSheets();
    ApplyActiveSheetIndex(activeSheetIndex_, active);
    AddChanges(sscLayout | sscModified);
}

void SpreadSheet::MoveSheet(SpreadSheetTableView* sheet, int index)
{
    const int from = sheet->Index();
    index = std::clamp(index, 0, SheetCount() - 1);
    if (from < 0 || from == index)
        return;
    SpreadSheetTableView* active = ActiveSheet();
    std::unique_ptr<SpreadSheetTableView> moved = std::move(sheets_[static_cast<size_t>(from)]);
    sheets_.erase(sheets_.begin() + from);
    sheets_.insert(sheets_.begin() + index, std::move(moved));
    RebuildVisibleSheets();
    activeSheetIndex_ = active ? active->Index() : -1;
    AddChanges(sscLayout | sscModified);
}

void SpreadSheet::RebuildVisibleSheets()
{
    visibleSheets_.clear();
    for (const auto& sheet : sheets_)
        if (sheet->Visible())
            visibleSheets_.push_back(sheet.get());
}

void SpreadSheet::BeginUpdate() { ++lockCount_; }

void SpreadSheet::EndUpdate()
{
    if (lockCount_ > 0 && --lockCount_ == 0)
        ProcessChanges();
}

void SpreadSheet::AddChanges(SpreadSheetChanges changes)
{
    changes_ |= changes;
    ProcessChanges();
}

void SpreadSheet::SetState(SpreadSheetState bit, bool on)
{
    if (on)
        state_ |= bit;
    else
        state_ &= ~static_cast<SpreadSheetStates>(bit);
}

void SpreadSheet::ProcessChanges()
{
    if (lockCount_ > 0 || IsLoading() || IsDestroying() || processingChanges_)
        return;
    processingChanges_ = true;
    const auto reset = qScopeGuard([this] { processingChanges_ = false; });

    constexpr SpreadSheetChanges kHandedOver = sscData | sscStyle | sscModified | sscBiDiMode;
    const auto collect = [this] {
        for (const auto& sheet : sheets_)
            changes_ |= sheet->TakeChanges(kHandedOver);
    };
    collect();
    bool dataOrStyle = false;
    while (changes_ != 0) {
        const SpreadSheetChanges changes = changes_;
        changes_ = 0;
        dataOrStyle = dataOrStyle || (changes & (sscData | sscStyle)) != 0;
        SpreadSheetChanges next = 0;
        if (changes & sscBiDiMode)
            next |= sscLayout;
        if (changes & sscData) {
            if (optionsBehavior_.AutomaticCalculation) {
                formulaController_->Calculate();
                if (RecalculateHook)
                    RecalculateHook();
            }
            if (OnDataChanged)
                OnDataChanged();
            next |= sscLayout;
        }
        if (changes & sscLayout) {
            for (const auto& sheet : sheets_)
                sheet->ProcessChanges();
            if (OnLayoutChanged)
                OnLayoutChanged();
        }
        if (changes & sscModified)
            SetModified(true);
        changes_ |= next;
        collect();
    }
    if (dataOrStyle)
        NotifyListeners(&ISpreadSheetListener::DataChanged);
    if (formulaController_->CheckCircularReferences() && OnCircularReferences)
        OnCircularReferences();
}

void SpreadSheet::Calculate()
{
    BeginUpdate();
    formulaController_->Calculate();
    // In automatic mode the data change recalculates by itself; a second pass is not needed.
    changes_ |= optionsBehavior_.AutomaticCalculation ? sscLayout : sscData;
    EndUpdate();
}

SpreadSheetVariant SpreadSheet::EvaluateExpression(const QString& text, SpreadSheetTableView* sheet)
{
    if (!sheet)
        sheet = ActiveSheet();
    SpreadSheetExpressionFormula formula(formulaController_.get(), sheet, 0, 0);
    if (!ParseExpressionFormula(text, formula))
        return {};
    SpreadSheetFormulaResult result(&formula);
    formula.Evaluate(result);
    SpreadSheetFormulaErrorCode error = ecNone;
    SpreadSheetVariant value = result.GetValue(&error);
    return error == ecNone ? value : SpreadSheetVariant();
}

void SpreadSheet::SetModified(bool value)
{
    if (modified_ == value)
        return;
    modified_ = value;
    if (OnModifiedChanged && !IsLoading())
        OnModifiedChanged();
}

void SpreadSheet::SetDateTimeSystem(SpreadSheetDateTimeSystem value)
{
    if (value == dtsDefault)
        value = dts1900;
    if (dateTimeSystem_ == value)
        return;
    dateTimeSystem_ = value;
    formatSettings_->DateTimeSystem = value;
    AddChanges(sscData | sscLayout | sscModified);
}

bool SpreadSheet::R1C1Reference() const { return formatSettings_->R1C1Reference; }

void SpreadSheet::SetR1C1Reference(bool value)
{
    if (R1C1Reference() == value)
        return;
    formatSettings_->SetR1C1Reference(value);
    for (const auto& sheet : sheets_)
        sheet->UpdateCaptionDelimited();
    AddChanges(sscLayout);
}

void SpreadSheet::SetHistoryEnabled(bool value)
{
    if (historyEnabled_ == value)
        return;
    historyEnabled_ = value;
    history_->Clear();
}

void SpreadSheet::SetIterativeCalculationMaxCount(int value)
{
    optionsBehavior_.IterativeCalculationMaxCount = std::clamp(value, 0, kMaxIterationCount);
}

void SpreadSheet::AddListener(ISpreadSheetListener* listener)
{
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void SpreadSheet::RemoveListener(ISpreadSheetListener* listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void SpreadSheet::NotifyListeners(void (ISpreadSheetListener::*method)())
{
    // A listener may remove itself while being told.
    const std::vector<ISpreadSheetListener*> listeners = listeners_;
    for (ISpreadSheetListener* listener : listeners)
        (listener->*method)();
}

} // namespace quorvel
