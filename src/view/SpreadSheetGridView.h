#pragma once

#include "view/SpreadSheetEditingReferences.h"
#include "view/SpreadSheetTableViewController.h"

#include <QAbstractScrollArea>

namespace quorvel {

class SpreadSheet;
class SpreadSheetTableView;
class SpreadSheetViewStates;
class SpreadSheetCellEditor;

/// The grid of the active sheet: headers, grid lines, cells, selection and the in-place editor.
/// Scrolling is by pixels over the model's positions, so only the visible rows and columns are
/// looked at, however far down the sheet the view is.
class SpreadSheetGridView : public QAbstractScrollArea {
    Q_OBJECT

public:
    SpreadSheetGridView(SpreadSheet& book, SpreadSheetViewStates& states, QWidget* parent = nullptr);

    /// The model's rows, columns or active sheet changed.
    void LayoutChanged();
    /// Makes the focused cell visible and tells about a new focus.
    void FocusedCellChanged();

    /// Opens the in-place editor on the focused cell with `text`.
    void StartEditing(const QString& text, bool enterMode);
    bool IsEditing() const { return editing_; }
    /// Commits the edit through the cell's typing path; false when the model refused the text.
    /// Writes the editor's text into the cell; `asArray` enters it over the selected area that holds
    /// the cell as one array formula (Ctrl+Shift+Enter). False, with a message, when refused.
    bool CommitEditing(bool asArray = false);
    void CancelEditing();
    SpreadSheetCellEditor* Editor() const { return editor_; }
    /// The references of the formula being edited, coloured as the editor shows them.
    const std::vector<SpreadSheetEditingReference>& EditingReferences() const { return editingReferences_; }

    /// The cell rectangle in viewport coordinates (without the grid line that ends it).
    QRect CellRect(int row, int column) const;
    SpreadSheetViewport Viewport() const;
    void ScrollTo(long long x, long long y);
    /// Key handling as for a key press on the grid (used by tests and the window's shortcuts).
    void HandleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text = QString());

signals:
    /// The focused cell is about to change to (column, row), 0-based.
    void ActiveCellChanging(int column, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    SpreadSheetTableView* Sheet() const;
    bool ShowHeaders() const;
    bool ShowGridLines() const;
    int HeaderHeight() const;
    int RowHeaderWidth() const;
    void UpdateScrollBars();
    void EnsureVisible(int row, int column);
    /// Row and column under a viewport point; -1 for a header.
    bool HitTest(const QPoint& point, int& row, int& column) const;
    void PlaceEditor();
    void NotifyFocus();
    void OnEditorCommit(int key, unsigned shift);
    /// Lists and colours the references of the editor's text again.
    void UpdateEditingReferences();

    SpreadSheet& book_;
    SpreadSheetViewStates& states_;
    SpreadSheetTableViewController controller_;
    SpreadSheetCellEditor* editor_;
    bool editing_ = false;
    std::vector<SpreadSheetEditingReference> editingReferences_;
    int editRow_ = 0;
    int editColumn_ = 0;
    QString lastFocusKey_;
    bool syncingScroll_ = false;
};

} // namespace quorvel
