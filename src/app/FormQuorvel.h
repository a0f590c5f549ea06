#pragma once

#include "app/DocumentDialogs.h"
#include "app/SpreadSheetActions.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QLabel;
class QStackedWidget;
class QTextBrowser;
class QToolBar;
class QToolButton;

namespace quorvel {

class Ribbon;
class SpreadSheet;
class SpreadSheetControl;

/// The program's document window: ribbon, quick access toolbar, spreadsheet control, backstage
/// view and status bar, with the document commands, the save prompts and the modified state.
class FormQuorvel : public QMainWindow {
    Q_OBJECT

public:
    /// `arguments` are the command-line arguments after the program name; the first one is opened.
    explicit FormQuorvel(const QStringList& arguments = {}, std::unique_ptr<DocumentDialogs> dialogs = nullptr,
        QWidget* parent = nullptr);
    ~FormQuorvel() override;

    SpreadSheetControl& Control() const { return *control_; }
    SpreadSheet& Book() const;
    SpreadSheetActionList& Actions() const { return *actions_; }
    Ribbon& RibbonBar() const { return *ribbon_; }
    QToolBar* QuickAccessToolbar() const { return quickAccess_; }
    QLabel* StatusPanel(int index) const;
    QTextBrowser* AboutBrowser() const { return aboutBrowser_; }

    const QString& CurrentFilePath() const { return currentFilePath_; }
    /// Sets the path and the caption (the file's name and extension, then " - Quorvel").
    void SetCurrentFilePath(const QString& path);
    bool Modified() const { return documentModifications_ != 0; }
    void SetModified(bool value);
    int DocumentModifications() const { return documentModifications_; }
    bool Prepared() const { return prepared_; }
    const QString& ConfigFolderPath() const { return configFolder_; }

    // Document commands; each returns whether it went through.
    bool NewDocument();
    bool OpenDocumentWithDialog();
    bool OpenDocumentFile(const QString& path);
    bool SaveDocument();
    bool SaveDocumentAs();
    /// The prompt before New and Open: false when the user cancels or the save does not succeed.
    bool AskToSaveChanges();

    void ShowBackstage(bool show);
    /// Runs when an About link asks for the update check.
    std::function<void()> OnCheckForUpdates;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void CreateStatusBar();
    void CreateQuickAccessToolbar();
    QWidget* CreateBackstage();
    void AttachHistoryMenu(QToolButton* button, bool undo);
    void UpdateHistoryActions();
    void ApplyInitialSettings();
    void LoadBarLayout();
    void SaveBarLayout() const;
    void HandleAboutLink(const QUrl& url);

    std::unique_ptr<DocumentDialogs> dialogs_;
    std::unique_ptr<SpreadSheetActionList> actions_;
    SpreadSheetControl* control_ = nullptr;
    Ribbon* ribbon_ = nullptr;
    QToolBar* quickAccess_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QTextBrowser* aboutBrowser_ = nullptr;
    QLabel* statusPanels_[5] = {};
    QString currentFilePath_;
    QString configFolder_;
    int documentModifications_ = 0;
    bool prepared_ = false;
};

} // namespace quorvel
