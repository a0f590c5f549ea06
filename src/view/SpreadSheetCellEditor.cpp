#include "view/SpreadSheetCellEditor.h"

#include "view/SpreadSheetTableViewController.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace quorvel {

SpreadSheetCellEditor::SpreadSheetCellEditor(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
}

bool SpreadSheetCellEditor::event(QEvent* event)
{
    // Tab would move the keyboard focus to the next widget; here it commits the edit.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void SpreadSheetCellEditor::keyPressEvent(QKeyEvent* event)
{
    const SpreadSheetShiftState shift = ShiftStateOf(event->modifiers());
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        emit CommitRequested(event->key(), shift);
        return;
    case Qt::Key_Escape:
        emit CancelRequested();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (enterMode_ && shift == 0) {
            emit CommitRequested(event->key(), shift);
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void SpreadSheetCellEditor::SetTextFormats(const QList<QTextLayout::FormatRange>& formats)
{
    textFormats_ = formats;
    // A line edit draws the formats an input method sends over its text, without touching the text,
    // the caret or the selection; their positions count from the caret.
    QList<QInputMethodEvent::Attribute> attributes;
    attributes.reserve(formats.size());
    for (const QTextLayout::FormatRange& range : formats) {
        attributes.append(QInputMethodEvent::Attribute(
            QInputMethodEvent::TextFormat, range.start - cursorPosition(), range.length, range.format));
    }
    QInputMethodEvent event(QString(), attributes);
    inputMethodEvent(&event);
}

void SpreadSheetCellEditor::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit FocusLost();
}

} // namespace quorvel
