#pragma once

#include <QHash>
#include <QWidget>

#include <functional>

class QAction;
class QStackedWidget;
class QTabBar;
class QToolButton;

namespace quorvel {

/// The ribbon: a tab bar over pages of captioned groups of tool buttons, built from the layout
/// table. The File button at its left opens the backstage view.
class Ribbon : public QWidget {
    Q_OBJECT

public:
    using ActionLookup = std::function<QAction*(const QString& name)>;
    Ribbon(const ActionLookup& actions, QWidget* parent = nullptr);

    QTabBar* Tabs() const { return tabs_; }
    QToolButton* FileButton() const { return fileButton_; }
    /// The tool button showing a command, for drop-downs; nullptr when the command is in a menu.
    QToolButton* ButtonFor(const QString& actionName) const { return buttons_.value(actionName); }

signals:
    void FileButtonClicked();

private:
    QTabBar* tabs_;
    QStackedWidget* pages_;
    QToolButton* fileButton_;
    QHash<QString, QToolButton*> buttons_;
};

} // namespace quorvel
