#include "view/SpreadSheetGridView.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"
#include "render/SpreadSheetCellPainter.h"
#include "view/SpreadSheetCellEditor.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextCharFormat>

#include <algorithm>
#include <vector>

namespace quorvel {

namespace {

// The in-place editor opens on a formula's text, not on its result.
QString EditingText(const SpreadSheetCell* cell)
{
    if (!cell)
        return QString();
    return cell->IsFormula() ? cell->AsFormula()->AsText() : cell->AsString();
}

constexpr int kScrollStep = 20;
const QColor kHeaderColor(0xF3, 0xF3, 0xF3);
const QColor kHeaderSelectedColor(0xD2, 0xD2, 0xD2);
const QColor kHeaderLineColor(0xC6, 0xC6, 0xC6);
const QColor kSelectionTint(0x21, 0x73, 0x46, 0x33);
const QColor kSelectionFrame(0x21, 0x73, 0x46);
const QColor kDefaultGridLineColor(0xD4, 0xD4, 0xD4);

bool resolve(DefaultBoolean sheetValue, bool bookValue) { return sheetValue == bDefault ? bookValue : sheetValue == bTrue; }

// One visible row or column: its index, leading edge in viewport pixels and size.
struct Line {
    int index;
    int position;
    int size;
};

std::vector<Line> visibleLines(const SpreadSheetTableItems& items, long long scroll, int origin, int extent)
{
    std::vector<Line> lines;
    int index = items.GetIndexAtPosition(scroll);
    long long position = origin + items.GetPosition(index) - scroll;
    for (; index <= items.MaxIndex() && position < extent; ++index) {
        const int size = items.GetItemSize(index);
        if (size > 0)
            lines.push_back({ index, static_cast<int>(position), size });
        position += size;
    }
    return lines;
}

int toViewport(long long value) { return static_cast<int>(std::clamp<long long>(value, -10, 1 << 24)); }

} // namespace

SpreadSheetGridView::SpreadSheetGridView(SpreadSheet& book, SpreadSheetViewStates& states, QWidget* parent)
    : QAbstractScrollArea(parent)
    , book_(book)
    , states_(states)
    , controller_(book, states)
    , editor_(new SpreadSheetCellEditor(viewport()))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->hide();
    connect(editor_, &SpreadSheetCellEditor::CommitRequested, this, &SpreadSheetGridView::OnEditorCommit);
    connect(editor_, &SpreadSheetCellEditor::CancelRequested, this, &SpreadSheetGridView::CancelEditing);
    connect(editor_, &QLineEdit::textChanged, this, &SpreadSheetGridView::UpdateEditingReferences);
    connect(editor_, &SpreadSheetCellEditor::FocusLost, this, [this] {
        if (editing_)
            CommitEditing();
    });
    UpdateScrollBars();
}

SpreadSheetTableView* SpreadSheetGridView::Sheet() const { return book_.ActiveSheet(); }

bool SpreadSheetGridView::ShowHeaders() const
{
    const SpreadSheetTableView* sheet = Sheet();
    return sheet && resolve(sheet->Options().Headers, book_.OptionsView().Headers);
}

bool SpreadSheetGridView::ShowGridLines() const
{
    const SpreadSheetTableView* sheet = Sheet();
    return sheet && resolve(sheet->Options().GridLines, book_.OptionsView().GridLines);
}

int SpreadSheetGridView::HeaderHeight() const { return ShowHeaders() ? fontMetrics().height() + 6 : 0; }

int SpreadSheetGridView::RowHeaderWidth() const
{
    if (!ShowHeaders())
        return 0;
    // Wide enough for the largest row number on screen, so it grows as the view scrolls down.
    const SpreadSheetTableView* sheet = Sheet();
    const long long bottom = states_.Get(*sheet).scrollY + viewport()->height();
    const int lastRow = sheet->Rows().GetIndexAtPosition(bottom);
    return std::max(fontMetrics().horizontalAdvance(QString::number(lastRow + 1)) + 12, 28);
}

SpreadSheetViewport SpreadSheetGridView::Viewport() const
{
    SpreadSheetViewport result;
    const SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return result;
    const SpreadSheetTableRows& rows = sheet->Rows();
    const long long top = states_.Get(*sheet).scrollY;
    result.topRow = rows.GetIndexAtPosition(top);
    const long long bottom = top + viewport()->height() - HeaderHeight();
    int last = rows.GetIndexAtPosition(bottom);
    if (rows.GetPosition(last) + rows.GetItemSize(last) > bottom)
        --last;
    result.pageRowCount = std::max(1, last - result.topRow + 1);
    return result;
}

QRect SpreadSheetGridView::CellRect(int row, int column) const
{
    const SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return QRect();
    const auto& state = states_.Get(*sheet);
    const long long x = RowHeaderWidth() + sheet->Columns().GetPosition(column) - state.scrollX;
    const long long y = HeaderHeight() + sheet->Rows().GetPosition(row) - state.scrollY;
    return QRect(toViewport(x), toViewport(y), sheet->Columns().GetItemSize(column) - 1,
        sheet->Rows().GetItemSize(row) - 1);
}

void SpreadSheetGridView::UpdateScrollBars()
{
    const SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return;
    const auto& state = states_.Get(*sheet);
    const int width = std::max(viewport()->width() - RowHeaderWidth(), 1);
    const int height = std::max(viewport()->height() - HeaderHeight(), 1);
    const SpreadSheetTableColumns& columns = sheet->Columns();
    const SpreadSheetTableRows& rows = sheet->Rows();
    const long long totalWidth = columns.GetPosition(kMaxColumnIndex) + columns.GetItemSize(kMaxColumnIndex);
    const long long totalHeight = rows.GetPosition(kMaxRowIndex) + rows.GetItemSize(kMaxRowIndex);
    syncingScroll_ = true;
    horizontalScrollBar()->setRange(0, static_cast<int>(std::max<long long>(totalWidth - width, 0)));
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    horizontalScrollBar()->setValue(static_cast<int>(state.scrollX));
    verticalScrollBar()->setRange(0, static_cast<int>(std::max<long long>(totalHeight - height, 0)));
    verticalScrollBar()->setPageStep(height);
    verticalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setValue(static_cast<int>(state.scrollY));
    syncingScroll_ = false;
}

void SpreadSheetGridView::ScrollTo(long long x, long long y)
{
    if (SpreadSheetTableView* sheet = Sheet()) {
        auto& state = states_.Get(*sheet);
        state.scrollX = std::clamp<long long>(x, 0, horizontalScrollBar()->maximum());
        state.scrollY = std::clamp<long long>(y, 0, verticalScrollBar()->maximum());
        UpdateScrollBars();
        PlaceEditor();
        viewport()->update();
    }
}

void SpreadSheetGridView::scrollContentsBy(int, int)
{
    if (syncingScroll_)
        return;
    if (SpreadSheetTableView* sheet = Sheet()) {
        auto& state = states_.Get(*sheet);
        state.scrollX = horizontalScrollBar()->value();
        state.scrollY = verticalScrollBar()->value();
    }
    PlaceEditor();
    viewport()->update();
}

void SpreadSheetGridView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void SpreadSheetGridView::LayoutChanged()
{
    if (editing_ && Sheet() == nullptr)
        CancelEditing();
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
    FocusedCellChanged();
}

void SpreadSheetGridView::EnsureVisible(int row, int column)
{
    SpreadSheetTableView* sheet = Sheet();
    auto& state = states_.Get(*sheet);
    const long long width = viewport()->width() - RowHeaderWidth();
    const long long height = viewport()->height() - HeaderHeight();
    long long x = state.scrollX;
    long long y = state.scrollY;
    const long long left = sheet->Columns().GetPosition(column);
    const long long right = left + sheet->Columns().GetItemSize(column);
    const long long top = sheet->Rows().GetPosition(row);
    const long long bottom = top + sheet->Rows().GetItemSize(row);
    if (left < x || right - left > width)
        x = left;
    else if (right > x + width)
        x = right - width;
    if (top < y || bottom - top > height)
        y = top;
    else if (bottom > y + height)
        y = bottom - height;
    if (x != state.scrollX || y != state.scrollY)
        ScrollTo(x, y);
}

void SpreadSheetGridView::FocusedCellChanged()
{
    SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return;
    const SpreadSheetTableViewSelection& selection = states_.Selection(*sheet);
    int row = selection.FocusedRow();
    int column = selection.FocusedColumn();
    // The moving edge of a Shift-extended area is what the user watches.
    const SpreadSheetArea& area = selection.Area();
    if (area.Contains(row, column) && !(area.left == 0 && area.right == kMaxColumnIndex)
        && !(area.top == 0 && area.bottom == kMaxRowIndex)) {
        EnsureVisible(row == area.top ? area.bottom : area.top, column == area.left ? area.right : area.left);
    }
    EnsureVisible(row, column);
    viewport()->update();
    NotifyFocus();
}

void SpreadSheetGridView::NotifyFocus()
{
    const SpreadSheetTableViewSelection& selection = states_.Selection(*Sheet());
    const QString key
        = QStringLiteral("%1:%2:%3").arg(Sheet()->GUID()).arg(selection.FocusedRow()).arg(selection.FocusedColumn());
    if (key != lastFocusKey_) {
        lastFocusKey_ = key;
        emit ActiveCellChanging(selection.FocusedColumn(), selection.FocusedRow());
    }
}

void SpreadSheetGridView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect bounds = viewport()->rect();
    painter.fillRect(bounds, Qt::white);
    const SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return;
    const auto& state = states_.Get(*sheet);
    const int headerHeight = HeaderHeight();
    const int rowHeaderWidth = RowHeaderWidth();
    const std::vector<Line> columns = visibleLines(sheet->Columns(), state.scrollX, rowHeaderWidth, bounds.width());
    const std::vector<Line> rows = visibleLines(sheet->Rows(), state.scrollY, headerHeight, bounds.height());
    if (columns.empty() || rows.empty())
        return;
    const int firstColumn = columns.front().index;
    const int lastColumn = columns.back().index;
    std::vector<int> columnSlot(static_cast<size_t>(lastColumn - firstColumn + 1), -1);
    for (size_t i = 0; i < columns.size(); ++i)
        columnSlot[static_cast<size_t>(columns[i].index - firstColumn)] = static_cast<int>(i);
    const int right = columns.back().position + columns.back().size;
    const int bottom = rows.back().position + rows.back().size;

    painter.save();
    painter.setClipRect(QRect(rowHeaderWidth, headerHeight, bounds.width(), bounds.height()));
    if (ShowGridLines()) {
        painter.setPen(ToQColor(book_.OptionsView().GridLineColor, kDefaultGridLineColor));
        for (const Line& column : columns)
            painter.drawLine(column.position + column.size - 1, headerHeight, column.position + column.size - 1, bottom);
        for (const Line& row : rows)
            painter.drawLine(rowHeaderWidth, row.position + row.size - 1, right, row.position + row.size - 1);
    }

    SpreadSheetCellPainter cellPainter(painter, sheet->ZoomFactor());
    const SpreadSheetCellStyleHandle* defaultStyle = book_.CellStyles().DefaultStyle();
    std::vector<const SpreadSheetCellStyleHandle*> columnStyles(columns.size(), nullptr);
    for (size_t i = 0; i < columns.size(); ++i)
        if (const SpreadSheetTableColumn* item = sheet->Columns().Items(columns[i].index))
            columnStyles[i] = item->StyleHandle();
    const auto cellRect = [&](const Line& row, const Line& column) {
        return QRect(column.position, row.position, column.size - 1, row.size - 1);
    };
    struct Painted {
        const SpreadSheetCell* cell;
        QRect rect;
    };
    std::vector<Painted> cells;
    for (const Line& row : rows) {
        const SpreadSheetTableRow* item = sheet->Rows().Items(row.index);
        const SpreadSheetCellStyleHandle* rowStyle = item ? item->StyleHandle() : nullptr;
        const SpreadSheetCell* cell = item ? item->FindCellAtOrAfter(firstColumn) : nullptr;
        for (size_t i = 0; i < columns.size(); ++i) {
            while (cell && cell->ColumnIndex() < columns[i].index)
                cell = SpreadSheetTableRow::NextCell(cell);
            const bool here = cell && cell->ColumnIndex() == columns[i].index;
            const SpreadSheetCellStyleHandle* style
                = here ? cell->StyleHandle() : (rowStyle ? rowStyle : columnStyles[i]);
            const QRect rect = cellRect(row, columns[i]);
            if (style && style != defaultStyle)
                cellPainter.PaintBackground(rect.adjusted(0, 0, 1, 1), *style);
            if (here)
                cells.push_back({ cell, rect });
        }
    }
    for (const Painted& painted : cells)
        cellPainter.PaintText(painted.rect, *painted.cell->StyleHandle(), CellDisplay(*painted.cell));
    for (const Painted& painted : cells)
        cellPainter.PaintBorders(painted.rect, *painted.cell->StyleHandle()->Borders());

    // Selection: a tint over the selected cells except the focused one, and a frame around the
    // active area.
    const SpreadSheetTableViewSelection& selection = state.selection;
    const auto areaRect = [&](const SpreadSheetArea& area) {
        const long long x1 = rowHeaderWidth + sheet->Columns().GetPosition(area.left) - state.scrollX;
        const long long x2 = rowHeaderWidth + sheet->Columns().GetPosition(area.right)
            + sheet->Columns().GetItemSize(area.right) - state.scrollX;
        const long long y1 = headerHeight + sheet->Rows().GetPosition(area.top) - state.scrollY;
        const long long y2 = headerHeight + sheet->Rows().GetPosition(area.bottom)
            + sheet->Rows().GetItemSize(area.bottom) - state.scrollY;
        return QRect(QPoint(toViewport(x1), toViewport(y1)), QPoint(toViewport(x2) - 1, toViewport(y2) - 1));
    };
    const QRect focusRect = CellRect(selection.FocusedRow(), selection.FocusedColumn()).adjusted(0, 0, 1, 1);
    QRegion tint;
    for (int i = 0; i < selection.Count(); ++i)
        tint += areaRect(selection.Items(i));
    tint -= focusRect;
    if (!selection.IsSingleCell())
        for (const QRect& rect : tint)
            painter.fillRect(rect, kSelectionTint);
    QPen framePen(kSelectionFrame, 2);
    framePen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(framePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(areaRect(selection.Area()).adjusted(0, 0, -1, -1));
    // While a formula is edited, every area it reads is framed in the colour of its reference.
    for (const SpreadSheetReferenceFrame& frame : ReferenceFrames(editingReferences_)) {
        framePen.setColor(frame.Color);
        painter.setPen(framePen);
        painter.drawRect(areaRect(frame.Area).adjusted(0, 0, -1, -1));
    }
    painter.restore();

    if (!ShowHeaders())
        return;
    // Headers: letters above, numbers on the left, the ones of selected cells shaded.
    const SpreadSheetArea bounding = selection.BoundingArea();
    painter.setFont(font());
    const auto paintHeader = [&](const QRect& rect, const QString& text, bool selected) {
        painter.fillRect(rect, selected ? kHeaderSelectedColor : kHeaderColor);
        painter.setPen(kHeaderLineColor);
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.setPen(selected ? kSelectionFrame : QColor(Qt::black));
        painter.drawText(rect, Qt::AlignCenter, text);
    };
    painter.save();
    painter.setClipRect(QRect(rowHeaderWidth, 0, bounds.width(), headerHeight));
    for (const Line& column : columns)
        paintHeader(QRect(column.position, 0, column.size, headerHeight),
            SpreadSheetColumnReferences::NameByIndex(column.index),
            column.index >= bounding.left && column.index <= bounding.right);
    painter.setClipRect(QRect(0, headerHeight, rowHeaderWidth, bounds.height()));
    for (const Line& row : rows)
        paintHeader(QRect(0, row.position, rowHeaderWidth, row.size), QString::number(row.index + 1),
            row.index >= bounding.top && row.index <= bounding.bottom);
    painter.restore();
    paintHeader(QRect(0, 0, rowHeaderWidth, headerHeight), QString(), false);
}

void SpreadSheetGridView::HandleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (!Sheet())
        return;
    const SpreadSheetShiftState shift = ShiftStateOf(modifiers);
    SpreadSheetViewport port = Viewport();
    const int topRow = port.topRow;
    SpreadSheetKeyResult result = SpreadSheetKeyResult::krHandled;
    try {
        result = controller_.KeyDown(key, shift, port);
    } catch (const ESpreadSheetError& error) {
        // A refused command (clearing part of an array) changes nothing and says why.
        QMessageBox::warning(this, QStringLiteral("Quorvel"), error.Message());
        return;
    }
    if (!Sheet())
        return;
    if (port.topRow != topRow)
        ScrollTo(states_.Get(*Sheet()).scrollX, Sheet()->Rows().GetPosition(port.topRow));
    switch (result) {
    case SpreadSheetKeyResult::krHandled:
        FocusedCellChanged();
        break;
    case SpreadSheetKeyResult::krStartEditing: {
        const SpreadSheetTableViewSelection& selection = states_.Selection(*Sheet());
        const SpreadSheetCell* cell = Sheet()->GetCell(selection.FocusedRow(), selection.FocusedColumn());
        StartEditing(EditingText(cell), false);
        break;
    }
    case SpreadSheetKeyResult::krIgnored:
        if (!text.isEmpty() && text.front().isPrint() && (shift & (ssCtrl | ssAlt)) == 0)
            StartEditing(text, true);
        break;
    }
}

void SpreadSheetGridView::keyPressEvent(QKeyEvent* event) { HandleKey(event->key(), event->modifiers(), event->text()); }

bool SpreadSheetGridView::focusNextPrevChild(bool) { return false; }

void SpreadSheetGridView::StartEditing(const QString& text, bool enterMode)
{
    SpreadSheetTableView* sheet = Sheet();
    if (!sheet || !book_.OptionsBehavior().Editing)
        return;
    const SpreadSheetTableViewSelection& selection = states_.Selection(*sheet);
    editRow_ = selection.FocusedRow();
    editColumn_ = selection.FocusedColumn();
    EnsureVisible(editRow_, editColumn_);
    const SpreadSheetCell* cell = sheet->GetCell(editRow_, editColumn_);
    const SpreadSheetCellStyleHandle* style = cell ? cell->StyleHandle() : book_.CellStyles().DefaultStyle();
    editor_->setFont(ToQFont(*style->Font(), sheet->ZoomFactor()));
    editor_->setText(text);
    editor_->SetEnterMode(enterMode);
    editing_ = true;
    PlaceEditor();
    editor_->show();
    editor_->setFocus();
    editor_->setCursorPosition(static_cast<int>(text.size()));
    UpdateEditingReferences();
}

void SpreadSheetGridView::UpdateEditingReferences()
{
    editingReferences_.clear();
    if (editing_ && Sheet())
        editingReferences_ = ColorFormulaReferences(*Sheet(), editRow_, editColumn_, editor_->text());
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(static_cast<qsizetype>(editingReferences_.size()));
    for (const SpreadSheetEditingReference& reference : editingReferences_) {
        QTextCharFormat format;
        format.setForeground(reference.Color);
        formats.append({ reference.Start, reference.Length, format });
    }
    editor_->SetTextFormats(formats);
    viewport()->update();
}

void SpreadSheetGridView::PlaceEditor()
{
    if (!editing_ || !Sheet())
        return;
    const QRect rect = CellRect(editRow_, editColumn_);
    const int textWidth = editor_->fontMetrics().horizontalAdvance(editor_->text()) + 12;
    editor_->setGeometry(rect.x(), rect.y(), std::max(rect.width(), textWidth), rect.height());
}

bool SpreadSheetGridView::CommitEditing(bool asArray)
{
    if (!editing_)
        return true;
    SpreadSheetTableView* sheet = Sheet();
    const QString text = editor_->text();
    SpreadSheetHistory& history = book_.History();
    try {
        SpreadSheetCell* cell = sheet->GetCell(editRow_, editColumn_);
        if (asArray) {
            SpreadSheetArea area { editColumn_, editRow_, editColumn_, editRow_ };
            const SpreadSheetTableViewSelection& selection = states_.Selection(*sheet);
            for (int i = 0; i < selection.Count(); ++i)
                if (selection.Items(i).Contains(editRow_, editColumn_))
                    area = selection.Items(i);
            sheet->SetArrayFormula(area, text);
        } else if (cell || !text.isEmpty()) {
            history.BeginAction(SpreadSheetHistoryActionKind::EditCell);
            const auto finish = qScopeGuard([&history] { history.EndAction(); });
            if (!cell)
                cell = sheet->CreateCell(editRow_, editColumn_);
            cell->SetText(text, true);
        }
    } catch (const ESpreadSheetError& error) {
        QMessageBox::warning(this, QStringLiteral("Quorvel"), error.Message());
        editor_->setFocus();
        return false;
    }
    editing_ = false;
    editingReferences_.clear();
    editor_->hide();
    setFocus();
    viewport()->update();
    return true;
}

void SpreadSheetGridView::CancelEditing()
{
    if (!editing_)
        return;
    editing_ = false;
    editingReferences_.clear();
    editor_->hide();
    setFocus();
    viewport()->update();
}

void SpreadSheetGridView::OnEditorCommit(int key, unsigned shift)
{
    const bool asArray = (key == Qt::Key_Return || key == Qt::Key_Enter) && shift == (ssCtrl | ssShift);
    if (!CommitEditing(asArray))
        return;
    if (asArray) {
        // An array is entered where it stands: the selection and the focus stay.
        FocusedCellChanged();
        return;
    }
    SpreadSheetViewport port = Viewport();
    controller_.KeyDown(key, shift, port);
    FocusedCellChanged();
}

bool SpreadSheetGridView::HitTest(const QPoint& point, int& row, int& column) const
{
    const SpreadSheetTableView* sheet = Sheet();
    if (!sheet)
        return false;
    const auto& state = states_.Get(*sheet);
    const int rowHeaderWidth = RowHeaderWidth();
    const int headerHeight = HeaderHeight();
    column = point.x() < rowHeaderWidth ? -1
                                        : sheet->Columns().GetIndexAtPosition(state.scrollX + point.x() - rowHeaderWidth);
    row = point.y() < headerHeight ? -1 : sheet->Rows().GetIndexAtPosition(state.scrollY + point.y() - headerHeight);
    return true;
}

void SpreadSheetGridView::mousePressEvent(QMouseEvent* event)
{
    int row = 0;
    int column = 0;
    if (event->button() != Qt::LeftButton || !HitTest(event->position().toPoint(), row, column))
        return;
    if (editing_ && !CommitEditing())
        return;
    setFocus();
    SpreadSheetTableView* sheet = Sheet();
    SpreadSheetTableViewSelection& selection = states_.Selection(*sheet);
    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (row < 0 && column < 0) {
        selection.Select(SpreadSheetArea { 0, 0, kMaxColumnIndex, kMaxRowIndex }, 0, 0);
    } else if (row < 0) {
        if (extend)
            selection.ExtendTo(kMaxRowIndex, column);
        else
            selection.Select(SpreadSheetArea { column, 0, column, kMaxRowIndex }, Viewport().topRow, column);
    } else if (column < 0) {
        if (extend)
            selection.ExtendTo(row, kMaxColumnIndex);
        else
            selection.Select(SpreadSheetArea { 0, row, kMaxColumnIndex, row }, row,
                sheet->Columns().GetIndexAtPosition(states_.Get(*sheet).scrollX));
    } else if (extend) {
        selection.ExtendTo(row, column);
    } else {
        selection.SetFocusedCell(row, column);
    }
    viewport()->update();
    NotifyFocus();
}

void SpreadSheetGridView::mouseMoveEvent(QMouseEvent* event)
{
    int row = 0;
    int column = 0;
    if (!(event->buttons() & Qt::LeftButton) || editing_ || !HitTest(event->position().toPoint(), row, column))
        return;
    SpreadSheetTableViewSelection& selection = states_.Selection(*Sheet());
    const SpreadSheetArea& area = selection.Area();
    const bool wholeRows = area.left == 0 && area.right == kMaxColumnIndex;
    const bool wholeColumns = area.top == 0 && area.bottom == kMaxRowIndex;
    selection.ExtendTo(wholeColumns ? kMaxRowIndex : std::max(row, 0), wholeRows ? kMaxColumnIndex : std::max(column, 0));
    viewport()->update();
}

void SpreadSheetGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    int row = 0;
    int column = 0;
    if (!HitTest(event->position().toPoint(), row, column) || row < 0 || column < 0)
        return;
    const SpreadSheetCell* cell = Sheet()->GetCell(row, column);
    StartEditing(EditingText(cell), false);
}

} // namespace quorvel
