#pragma once

#include <QLineEdit>

namespace quorvel {

/// The in-place editor of one cell. Started by typing it is in "enter" mode, where arrow keys end
/// the edit and move on; started with F2 or a double click the arrows move the caret.
class SpreadSheetCellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit SpreadSheetCellEditor(QWidget* parent);

    bool EnterMode() const { return enterMode_; }
    void SetEnterMode(bool value) { enterMode_ = value; }

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
};

} // namespace quorvel
