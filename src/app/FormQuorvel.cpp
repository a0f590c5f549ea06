#include "app/FormQuorvel.h"

#include "app/AppSettings.h"
#include "app/DocumentDialogs.h"
#include "app/Ribbon.h"
#include "app/SpreadSheetActions.h"
#include "formats/SpreadSheetFormats.h"
#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "resources/ResourceString.h"
#include "view/SpreadSheetControl.h"
#include "view/SpreadSheetGridView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {

constexpr unsigned kSilver = 0x00C0C0C0; // 0x00BBGGRR
const QString kBarLayoutFile = QStringLiteral("XConfig.ini");
const QString kNewDocumentCaption = QStringLiteral("Новый документ - Quorvel");
const QString kCaptionSuffix = QStringLiteral(" - Quorvel");
const char* const kQuickAccessCommands[] = { "SpreadSheetNewDocument", "SpreadSheetOpenDocument",
    "SpreadSheetSaveDocument", "SpreadSheetUndo", "SpreadSheetRedo", "SpreadSheetShowPrintPreviewForm" };

// Runs the body between BeginUpdate and EndUpdate of the workbook, also when it raises.
template <class Body>
void inUpdate(SpreadSheet& book, Body body)
{
    book.BeginUpdate();
    const auto end = qScopeGuard([&book] { book.EndUpdate(); });
    body();
}

QString reasonOf(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const ESpreadSheetError*>(&error))
        return own->Message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace

FormQuorvel::FormQuorvel(const QStringList& arguments, std::unique_ptr<DocumentDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent)
    , dialogs_(dialogs ? std::move(dialogs) : std::make_unique<StandardDocumentDialogs>())
{
    // The sheet names of the first workbook come from the translation, so it goes first.
    Localizer::ActivateShipped(kLocaleRussian);
    SetCurrentFilePath(QString());
    configFolder_ = ConfigFolder();
    resize(1224, 820);
    setMinimumSize(640, 480);

    actions_ = std::make_unique<SpreadSheetActionList>(this);
    control_ = new SpreadSheetControl(this);
    ApplyInitialSettings();

    auto* showHeaders = new QAction(QStringLiteral("Заголовки"), this);
    showHeaders->setObjectName(QStringLiteral("ActionShowHeaders"));
    auto* showGrids = new QAction(QStringLiteral("Показать сетку"), this);
    showGrids->setObjectName(QStringLiteral("ActionShowGrids"));
    for (QAction* toggle : { showHeaders, showGrids }) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }
    connect(showHeaders, &QAction::toggled, this, [this](bool on) {
        Book().OptionsView().Headers = on;
        control_->Grid()->LayoutChanged();
    });
    connect(showGrids, &QAction::toggled, this, [this](bool on) {
        Book().OptionsView().GridLines = on;
        control_->Grid()->viewport()->update();
    });
    ribbon_ = new Ribbon(
        [this, showHeaders, showGrids](const QString& name) {
            return name == showHeaders->objectName() ? showHeaders
                : name == showGrids->objectName()    ? showGrids
                                                     : actions_->Action(name);
        },
        this);
    connect(ribbon_, &Ribbon::FileButtonClicked, this, [this] { ShowBackstage(true); });
    CreateQuickAccessToolbar();

    auto* work = new QWidget(this);
    auto* layout = new QVBoxLayout(work);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(quickAccess_);
    layout->addWidget(ribbon_);
    layout->addWidget(control_, 1);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(work);
    pages_->addWidget(CreateBackstage());
    setCentralWidget(pages_);
    CreateStatusBar();

    const auto bind = [this](const char* name, auto handler) {
        QAction* action = actions_->Action(QString::fromLatin1(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    };
    bind("SpreadSheetNewDocument", [this] { NewDocument(); });
    bind("SpreadSheetOpenDocument", [this] { OpenDocumentWithDialog(); });
    bind("SpreadSheetSaveDocument", [this] { SaveDocument(); });
    bind("SpreadSheetSaveDocumentAs", [this] { SaveDocumentAs(); });
    bind("SpreadSheetUndo", [this] {
        control_->Grid()->CommitEditing();
        Book().History().Undo();
    });
    bind("SpreadSheetRedo", [this] {
        control_->Grid()->CommitEditing();
        Book().History().Redo();
    });
    bind("SpreadSheetInsertSheet", [this] { control_->AddSheet(); });
    // The grid handles these keys itself (also while a cell is edited, where the editor has them).
    for (const char* name : { "SpreadSheetUndo", "SpreadSheetRedo" })
        actions_->Action(QString::fromLatin1(name))->setShortcutContext(Qt::WidgetShortcut);
    for (const char* name : kQuickAccessCommands)
        addAction(actions_->Action(QString::fromLatin1(name)));
    AttachHistoryMenu(ribbon_->ButtonFor(QStringLiteral("SpreadSheetUndo")), true);
    AttachHistoryMenu(ribbon_->ButtonFor(QStringLiteral("SpreadSheetRedo")), false);

    connect(control_, &SpreadSheetControl::HistoryChanged, this, [this] {
        SetModified(true);
        UpdateHistoryActions();
    });
    // Queued: the warning waits until the edit, paste or load that made the cycle has finished.
    connect(
        control_, &SpreadSheetControl::CircularReferencesFound, this,
        [this] { dialogs_->ShowCircularReferenceWarning(this, sErrorCircularMessage.Text()); },
        Qt::QueuedConnection);
    connect(control_, &SpreadSheetControl::ActiveCellChanging, this, [this](int column, int row) {
        statusPanels_[0]->setText(SpreadSheetColumnReferences::NameByIndex(column) + QString::number(row + 1));
    });
    LoadBarLayout();
    UpdateHistoryActions();

    if (!arguments.isEmpty())
        OpenDocumentFile(arguments.front());
    control_->setFocus();
}

FormQuorvel::~FormQuorvel() { SaveBarLayout(); }

SpreadSheet& FormQuorvel::Book() const { return control_->Book(); }

QLabel* FormQuorvel::StatusPanel(int index) const { return statusPanels_[index]; }

void FormQuorvel::ApplyInitialSettings()
{
    SpreadSheet& book = Book();
    book.SetHistoryEnabled(true);
    book.OptionsBehavior().IterativeCalculation = true;
    book.OptionsView().GridLineColor = kSilver;
    book.OptionsView().Headers = true;
    book.OptionsView().GridLines = true;
}

void FormQuorvel::CreateQuickAccessToolbar()
{
    quickAccess_ = new QToolBar(this);
    quickAccess_->setObjectName(QStringLiteral("QuickAccessToolbar"));
    quickAccess_->setMovable(false);
    quickAccess_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const char* name : kQuickAccessCommands)
        quickAccess_->addAction(actions_->Action(QString::fromLatin1(name)));
    const auto buttonOf = [this](const char* name) {
        return qobject_cast<QToolButton*>(quickAccess_->widgetForAction(actions_->Action(QString::fromLatin1(name))));
    };
    AttachHistoryMenu(buttonOf("SpreadSheetUndo"), true);
    AttachHistoryMenu(buttonOf("SpreadSheetRedo"), false);
}

// The drop-down of Undo and Redo lists the steps, newest first; choosing one undoes (redoes) it
// together with every step above it.
void FormQuorvel::AttachHistoryMenu(QToolButton* button, bool undo)
{
    if (!button)
        return;
    auto* menu = new QMenu(button);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, undo] {
        menu->clear();
        const SpreadSheetHistory& history = Book().History();
        const int count = undo ? history.UndoActionCount() : history.RedoActionCount();
        for (int i = 0; i < count; ++i) {
            const SpreadSheetHistoryAction* step = undo ? history.UndoActions(i) : history.RedoActions(i);
            QAction* item = menu->addAction(step->Description());
            connect(item, &QAction::triggered, this, [this, undo, i] {
                control_->Grid()->CommitEditing();
                if (undo)
                    Book().History().Undo(i + 1);
                else
                    Book().History().Redo(i + 1);
            });
        }
    });
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
}

void FormQuorvel::UpdateHistoryActions()
{
    const SpreadSheetHistory& history = Book().History();
    actions_->Action(QStringLiteral("SpreadSheetUndo"))->setEnabled(history.UndoActionCount() > 0);
    actions_->Action(QStringLiteral("SpreadSheetRedo"))->setEnabled(history.RedoActionCount() > 0);
}

void FormQuorvel::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    for (int i = 0; i < 5; ++i) {
        statusPanels_[i] = new QLabel(bar);
        statusPanels_[i]->setAlignment(Qt::AlignCenter);
    }
    statusPanels_[0]->setObjectName(QStringLiteral("StatusCellReference"));
    statusPanels_[0]->setMinimumWidth(50);
    statusPanels_[0]->setText(QStringLiteral("A1"));
    statusPanels_[1]->setObjectName(QStringLiteral("StatusModifiedIndicator"));
    statusPanels_[1]->setFixedSize(14, 14);
    statusPanels_[3]->setText(QStringLiteral("100%"));
    // TODO: show the lock keys' states once the platform layer can read them; Insert toggles
    // overwrite mode once the cell editor has one.
    statusPanels_[4]->setText(QStringLiteral("CAPS  NUM  SCRL  INS"));
    bar->addWidget(statusPanels_[0]);
    bar->addWidget(statusPanels_[1]);
    bar->addWidget(statusPanels_[2], 1);
    bar->addPermanentWidget(statusPanels_[3]);
    bar->addPermanentWidget(statusPanels_[4]);
    SetModified(false);
}

QWidget* FormQuorvel::CreateBackstage()
{
    auto* backstage = new QWidget(this);
    backstage->setObjectName(QStringLiteral("Backstage"));
    auto* menuColumn = new QWidget(backstage);
    menuColumn->setStyleSheet(QStringLiteral(
        "QWidget { background: #217346; } QPushButton { color: white; border: none; padding: 8px 18px; "
        "text-align: left; } QPushButton:checked, QPushButton:hover { background: #1a5c38; } "
        "QPushButton:disabled { color: #9fc7b0; }"));
    auto* column = new QVBoxLayout(menuColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* tabs = new QStackedWidget(backstage);

    const auto addButton = [&](const QString& text, auto handler) {
        auto* button = new QPushButton(text, menuColumn);
        connect(button, &QPushButton::clicked, this, handler);
        column->addWidget(button);
        return button;
    };
    const auto runAndReturn = [this](const char* name) {
        return [this, name] {
            ShowBackstage(false);
            actions_->Action(QString::fromLatin1(name))->trigger();
        };
    };
    addButton(QStringLiteral("←"), [this] { ShowBackstage(false); });
    addButton(actions_->Action(QStringLiteral("SpreadSheetNewDocument"))->text(), runAndReturn("SpreadSheetNewDocument"));
    addButton(actions_->Action(QStringLiteral("SpreadSheetSaveDocument"))->text(), runAndReturn("SpreadSheetSaveDocument"));

    const auto addTab = [&](const QString& caption, QWidget* page) {
        const int index = tabs->addWidget(page);
        QPushButton* button = addButton(caption, [tabs, index] { tabs->setCurrentIndex(index); });
        button->setCheckable(true);
        button->setAutoExclusive(true);
        if (index == 0)
            button->setChecked(true);
    };
    const auto browsePage = [&](const QString& title, const char* command) {
        auto* page = new QWidget(tabs);
        auto* pageLayout = new QVBoxLayout(page);
        auto* heading = new QLabel(title, page);
        heading->setStyleSheet(QStringLiteral("font-size: 20pt;"));
        pageLayout->addWidget(heading);
        auto* browse = new QPushButton(QStringLiteral("Обзор..."), page);
        browse->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(browse, &QPushButton::clicked, this, runAndReturn(command));
        pageLayout->addWidget(browse);
        pageLayout->addStretch(1);
        return page;
    };
    addTab(QStringLiteral("Открыть..."), browsePage(QStringLiteral("Открыть"), "SpreadSheetOpenDocument"));
    addTab(QStringLiteral("Сохранить..."), browsePage(QStringLiteral("Сохранить как"), "SpreadSheetSaveDocumentAs"));
    aboutBrowser_ = new QTextBrowser(tabs);
    aboutBrowser_->setOpenLinks(false);
    aboutBrowser_->setContextMenuPolicy(Qt::NoContextMenu);
    aboutBrowser_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    aboutBrowser_->setHtml(AboutPageHtml());
    connect(aboutBrowser_, &QTextBrowser::anchorClicked, this, &FormQuorvel::HandleAboutLink);
    addTab(QStringLiteral("О программе"), aboutBrowser_);

    for (const char* name : { "SpreadSheetShowPrintForm", "SpreadSheetShowPrintPreviewForm", "SpreadSheetShowPageSetupForm" })
        addButton(actions_->Action(QString::fromLatin1(name))->text(), [] {})->setEnabled(false);
    column->addSpacing(12);
    addButton(QString(), [] {})->setEnabled(false);
    addButton(QStringLiteral("Выход"), [this] { close(); });
    column->addStretch(1);

    auto* layout = new QHBoxLayout(backstage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(menuColumn);
    layout->addWidget(tabs, 1);
    return backstage;
}

void FormQuorvel::ShowBackstage(bool show)
{
    pages_->setCurrentIndex(show ? 1 : 0);
    if (!show)
        control_->setFocus();
}

void FormQuorvel::HandleAboutLink(const QUrl& url)
{
    if (ClassifyAboutLink(url) == AboutLinkTarget::UpdateCheck) {
        // TODO: the manual update check, once the update checker exists.
        if (OnCheckForUpdates)
            OnCheckForUpdates();
        return;
    }
    QDesktopServices::openUrl(url);
}

void FormQuorvel::LoadBarLayout()
{
    QSettings ini(QDir(configFolder_).filePath(kBarLayoutFile), QSettings::IniFormat);
    ribbon_->Tabs()->setCurrentIndex(ini.value(QStringLiteral("Ribbon/ActiveTab"), 0).toInt());
    quickAccess_->setVisible(ini.value(QStringLiteral("QuickAccessToolbar/Visible"), true).toBool());
}

void FormQuorvel::SaveBarLayout() const
{
    QSettings ini(QDir(configFolder_).filePath(kBarLayoutFile), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Ribbon/ActiveTab"), ribbon_->Tabs()->currentIndex());
    ini.setValue(QStringLiteral("QuickAccessToolbar/Visible"), !quickAccess_->isHidden());
    QStringList items;
    for (const char* name : kQuickAccessCommands)
        items << QString::fromLatin1(name);
    ini.setValue(QStringLiteral("QuickAccessToolbar/Items"), items);
}

void FormQuorvel::SetCurrentFilePath(const QString& path)
{
    currentFilePath_ = path;
    setWindowTitle(QFileInfo(path).fileName() + kCaptionSuffix);
}

void FormQuorvel::SetModified(bool value)
{
    if (value)
        ++documentModifications_;
    else
        documentModifications_ = 0;
    statusPanels_[1]->setStyleSheet(
        value ? QStringLiteral("background: #d9302c; border-radius: 7px;") : QStringLiteral("background: transparent;"));
    statusPanels_[1]->setToolTip(value ? QStringLiteral("Документ изменен") : QString());
}

void FormQuorvel::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!prepared_)
        FormShow();
}

void FormQuorvel::FormShow()
{
    // TODO: close the splash screen here once it exists.
    prepared_ = true;
    if (currentFilePath_.isEmpty())
        NewDocument();
    SetModified(false);
}

bool FormQuorvel::AskToSaveChanges()
{
    switch (dialogs_->AskToSaveChanges(this)) {
    case PromptAnswer::Yes:
        // Only a save that went through lets New or Open replace the document.
        return SaveDocument();
    case PromptAnswer::No:
        return true;
    case PromptAnswer::Cancel:
        break;
    }
    return false;
}

bool FormQuorvel::NewDocument()
{
    control_->Grid()->CommitEditing();
    if (Modified() && !AskToSaveChanges())
        return false;
    SetModified(false);
    SpreadSheet& book = Book();
    inUpdate(book, [&] {
        book.ClearAll();
        book.AddSheet(QString());
    });
    setWindowTitle(kNewDocumentCaption);
    currentFilePath_.clear();
    book.SetModified(false);
    // Clearing the workbook dropped its history, which counts as a change; a new document is not one.
    SetModified(false);
    UpdateHistoryActions();
    return true;
}

bool FormQuorvel::OpenDocumentWithDialog()
{
    control_->Grid()->CommitEditing();
    if (Modified() && !AskToSaveChanges())
        return false;
    const QString path = dialogs_->GetOpenFileName(this, ToQtFileFilter(SpreadSheetFormatsRepository::GetOpenDialogFilter()));
    return !path.isEmpty() && OpenDocumentFile(path);
}

bool FormQuorvel::OpenDocumentFile(const QString& path)
{
    try {
        LoadFromFile(Book(), path);
    } catch (const std::exception&) {
        dialogs_->ShowOpenError(this);
        return false;
    }
    SetCurrentFilePath(path);
    // TODO: add the path to the recent lists once they exist.
    SetModified(false);
    UpdateHistoryActions();
    return true;
}

bool FormQuorvel::SaveDocument()
{
    control_->Grid()->CommitEditing();
    if (currentFilePath_.isEmpty())
        return SaveDocumentAs();
    try {
        SaveToFile(Book(), currentFilePath_);
    } catch (const std::exception& error) {
        dialogs_->ShowSaveError(this, reasonOf(error));
        return false;
    }
    Book().SetModified(false);
    SetModified(false);
    return true;
}

bool FormQuorvel::SaveDocumentAs()
{
    control_->Grid()->CommitEditing();
    const QString path = dialogs_->GetSaveFileName(
        this, ToQtFileFilter(SpreadSheetFormatsRepository::GetSaveDialogFilter()), QStringLiteral("xls"));
    if (path.isEmpty())
        return false;
    try {
        SaveToFile(Book(), path);
    } catch (const std::exception& error) {
        dialogs_->ShowSaveError(this, reasonOf(error));
        return false;
    }
    SetCurrentFilePath(path);
    Book().SetModified(false);
    SetModified(false);
    return true;
}

void FormQuorvel::closeEvent(QCloseEvent* event)
{
    control_->Grid()->CommitEditing();
    if (Modified()) {
        switch (dialogs_->AskToSaveOnClose(this)) {
        case PromptAnswer::Cancel:
            event->ignore();
            return;
        case PromptAnswer::Yes:
            if (!SaveDocument()) {
                event->ignore();
                return;
            }
            break;
        case PromptAnswer::No:
            break;
        }
    }
    event->accept();
}

} // namespace quorvel
