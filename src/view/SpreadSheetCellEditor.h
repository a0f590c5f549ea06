#pragma once

#include <QLineEdit>
#include <QList>
#include <QTextLayout>

namespace quorvel {

/// The in-place editor of one cell. Started by typing it is in "enter" mode, where arrow keys end
/// the edit and move on; started with F2 or a double click the arrows move the caret.
class SpreadSheetCellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit SpreadSheetCellEditor(QWidget* parent);

    bool EnterMode() const { return enterMode_; }
    void SetEnterMode(bool value) { enterMode_ = value; }

    /// Draws stretches of the text in their own formats (the references of a formula in their
    /// colours) until the next call; positions are 0-based in the text.
    void SetTextFormats(const QList<QTextLayout::FormatRange>& formats);
    const QList<QTextLayout::FormatRange>& TextFormats() const { return textFormats_; }

signals:
    /// The edit ends with this key (Enter, Tab, an arrow), which then moves the focus.
    void CommitRequested(int key, unsigned shift);
    void CancelRequested();
    void FocusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool enterMode_ = false;
    QList<QTextLayout::FormatRange> textFormats_;
};

} // namespace quorvel
