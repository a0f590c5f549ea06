#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheetTableView;
class SpreadSheetFormatSettings;
class SpreadSheetCellStyles;
class SpreadSheetSharedStringTable;
class SpreadSheetHistory;
class SpreadSheetFormulaController;
struct LocaleData;

struct SpreadSheetOptionsBehavior {
    bool AutomaticCalculation = true;
    bool Deleting = true;
    bool DragFilling = true;
    bool DragMoving = true;
    bool Editing = true;
    SpreadSheetEnterKeyNavigation EnterKeyNavigation = eknDefault;
    bool FormulaAutoComplete = true;
    bool FormulaAutoCompleteShowHint = true;
    bool Formatting = true;
    bool Inserting = true;
    bool IterativeCalculation = false;
    int IterativeCalculationMaxCount = 0; // with iterative calculation on, 0 acts as off
};

struct SpreadSheetOptionsView {
    bool Antialiasing = true;
    bool CellAutoHeight = true;
    bool GridLines = true;
    bool Headers = true;
    bool HorizontalScrollBar = true;
    bool VerticalScrollBar = true;
    bool ShowFormulas = false;
    bool ZeroValues = true;
    unsigned GridLineColor = 0x20000000; // default colour
    int FrozenPaneSeparatorWidth = 1;
};

/// Observer of workbook-level notifications (ribbon states, views).
class ISpreadSheetListener {
public:
    virtual ~ISpreadSheetListener() = default;
    virtual void ActiveSheetChanged() { }
    virtual void DataChanged() { }
    virtual void DefinedNamesChanged() { }
    virtual void SelectionChanged() { }
};

/// The workbook: an ordered list of sheets, the shared style and string caches, options, and the
/// batch-update mechanism that turns many model changes into one recalculation and relayout.
class SpreadSheet {
    friend class SpreadSheetTableView;

public:
    SpreadSheet();
    /// With a locale name ("ru_RU"); empty means the user's locale.
    explicit SpreadSheet(const QString& localeName);
    ~SpreadSheet();
    SpreadSheet(const SpreadSheet&) = delete;
    SpreadSheet& operator=(const SpreadSheet&) = delete;

    // Sheets
    int SheetCount() const { return static_cast<int>(sheets_.size()); }
    SpreadSheetTableView* Sheets(int index) const;
    int VisibleSheetCount() const { return static_cast<int>(visibleSheets_.size()); }
    SpreadSheetTableView* VisibleSheets(int index) const;
    /// Creates a sheet named `caption` (or the next default name) and appends it; an existing sheet
    /// of that name is returned instead.
    SpreadSheetTableView* AddSheet(const QString& caption = QString());
    /// As AddSheet, then moves it to `index` (−1 = the active sheet's index) and activates it.
    SpreadSheetTableView* InsertSheet(int index, const QString& caption = QString());
    void DeleteSheet(SpreadSheetTableView* sheet);
    SpreadSheetTableView* GetSheetByName(const QString& caption) const;
    /// The name a new sheet would get: the caller's name cleaned up, or the next free default name.
    QString MakeSheetCaption(const QString& caption, const SpreadSheetTableView* except = nullptr) const;
    void ClearAll();

    int ActiveSheetIndex() const { return activeSheetIndex_; }
    void SetActiveSheetIndex(int index);
    SpreadSheetTableView* ActiveSheet() const;
    SpreadSheetTableView* ActiveSheetAsTable() const { return ActiveSheet(); }

    // Batch updates and change processing
    void BeginUpdate();
    void EndUpdate();
    bool IsLocked() const { return lockCount_ > 0; }
    void AddChanges(SpreadSheetChanges changes);
    SpreadSheetStates State() const { return state_; }
    void SetState(SpreadSheetState bit, bool on);
    bool IsLoading() const { return (state_ & sssReading) != 0; }
    bool IsDestroying() const { return (state_ & sssDestroying) != 0; }

    bool Modified() const { return modified_; }
    void SetModified(bool value);

    // Settings and caches
    SpreadSheetFormatSettings& FormatSettings() { return *formatSettings_; }
    const SpreadSheetFormatSettings& FormatSettings() const { return *formatSettings_; }
    /// The process's own settings, the fall-back when text does not parse with the workbook's.
    const SpreadSheetFormatSettings& SystemFormatSettings() const { return *systemFormatSettings_; }
    /// Takes separators, names and patterns of a locale for both the workbook and the system settings.
    void SetLocale(const LocaleData& data);
    SpreadSheetCellStyles& CellStyles() const { return *cellStyles_; }
    SpreadSheetSharedStringTable& StringTable() const { return *stringTable_; }
    SpreadSheetHistory& History() const { return *history_; }
    SpreadSheetFormulaController& FormulaController() const { return *formulaController_; }
    /// One calculation pass over every formula, whatever the calculation mode (the F9 key).
    void Calculate();
    /// Evaluates a formula text ("=A1*2") against `sheet` (the active one when null), as if typed
    /// into its first cell; an empty value when the text is not a valid formula.
    SpreadSheetVariant EvaluateExpression(const QString& text, SpreadSheetTableView* sheet = nullptr);

    SpreadSheetOptionsBehavior& OptionsBehavior() { return optionsBehavior_; }
    const SpreadSheetOptionsBehavior& OptionsBehavior() const { return optionsBehavior_; }
    SpreadSheetOptionsView& OptionsView() { return optionsView_; }
    const SpreadSheetOptionsView& OptionsView() const { return optionsView_; }
    SpreadSheetDateTimeSystem DateTimeSystem() const { return dateTimeSystem_; }
    void SetDateTimeSystem(SpreadSheetDateTimeSystem value);
    bool R1C1Reference() const;
    void SetR1C1Reference(bool value);
    bool HistoryEnabled() const { return historyEnabled_; }
    /// Turning the history on or off clears it.
    void SetHistoryEnabled(bool value);
    void SetIterativeCalculationMaxCount(int value);
    /// A sheet was shown or hidden: the visible list and the active sheet follow.
    void SheetVisibilityChanged();
    /// A sheet moved in the tab order.
    void MoveSheet(SpreadSheetTableView* sheet, int index);

    // Listeners and events
    void AddListener(ISpreadSheetListener* listener);
    void RemoveListener(ISpreadSheetListener* listener);
    std::function<void()> OnActiveSheetChanged;
    std::function<void()> OnDataChanged;
    std::function<void()> OnLayoutChanged;
    std::function<void()> OnModifiedChanged;
    std::function<void()> OnHistoryChanged;

    /// Called after each automatic recalculation of the change processing.
    std::function<void()> RecalculateHook;
    /// Circular references have just appeared; the message is sErrorCircularMessage. Given once
    /// until the cycles are gone, and only after the operation that caused them has completed.
    std::function<void()> OnCircularReferences;

private:
    void Initialize(const LocaleData& data);
    void ProcessChanges();
    void RebuildVisibleSheets();
    void ApplyActiveSheetIndex(int index, SpreadSheetTableView* previous);
    void NotifyListeners(void (ISpreadSheetListener::*method)());

    // Declared first so that it outlives the sheets: freeing a cell's formula leaves its list.
    std::unique_ptr<SpreadSheetFormulaController> formulaController_;
    std::vector<std::unique_ptr<SpreadSheetTableView>> sheets_;
    std::vector<SpreadSheetTableView*> visibleSheets_;
    std::vector<ISpreadSheetListener*> listeners_;
    std::unique_ptr<SpreadSheetFormatSettings> formatSettings_;
    std::unique_ptr<SpreadSheetFormatSettings> systemFormatSettings_;
    std::unique_ptr<SpreadSheetCellStyles> cellStyles_;
    std::unique_ptr<SpreadSheetSharedStringTable> stringTable_;
    std::unique_ptr<SpreadSheetHistory> history_;
    SpreadSheetOptionsBehavior optionsBehavior_;
    SpreadSheetOptionsView optionsView_;
    SpreadSheetDateTimeSystem dateTimeSystem_ = dts1900;
    SpreadSheetChanges changes_ = 0;
    SpreadSheetStates state_ = 0;
    int activeSheetIndex_ = -1;
    int lockCount_ = 0;
    bool modified_ = false;
    bool processingChanges_ = false;
    bool historyEnabled_ = false;
};

} // namespace quorvel
