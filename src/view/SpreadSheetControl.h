#pragma once

#include <QWidget>

#include <memory>

class QTabBar;
class QToolButton;

namespace quorvel {

class SpreadSheet;
class SpreadSheetGridView;
class SpreadSheetViewStates;
class SpreadSheetTableViewSelection;

/// The spreadsheet control: the workbook with its grid and sheet tabs. It owns the workbook's
/// events and passes them on as signals, so that several widgets can follow one workbook.
class SpreadSheetControl : public QWidget {
    Q_OBJECT

public:
    explicit SpreadSheetControl(QWidget* parent = nullptr);
    ~SpreadSheetControl() override;

    SpreadSheet& Book() const { return *book_; }
    SpreadSheetGridView* Grid() const { return grid_; }
    QTabBar* SheetTabs() const { return tabs_; }
    /// The selection of the active sheet.
    SpreadSheetTableViewSelection& Selection() const;

    /// Adds a sheet after the active one and activates it.
    void AddSheet();

signals:
    void HistoryChanged();
    void ModifiedChanged();
    void ActiveCellChanging(int column, int row);
    /// Formulas have just become circular; emitted once until the cycles are gone.
    void CircularReferencesFound();

private:
    void RefreshTabs();

    std::unique_ptr<SpreadSheet> book_;
    std::unique_ptr<SpreadSheetViewStates> states_;
    SpreadSheetGridView* grid_;
    QTabBar* tabs_;
    QToolButton* addSheetButton_;
    bool refreshingTabs_ = false;
};

} // namespace quorvel
