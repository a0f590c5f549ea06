#include "app/FormQuorvel.h"

#include "app/AppSettings.h"
#include "app/DocumentDialogs.h"
#include "app/Ribbon.h"
#include "formats/SpreadSheetFormats.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableView.h"
#include "view/SpreadSheetCellEditor.h"
#include "view/SpreadSheetControl.h"
#include "view/SpreadSheetGridView.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>

#include <deque>

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// Answers the window's questions from a script and records what was asked.
struct ScriptedDialogs final : DocumentDialogs {
    struct Log {
        std::deque<PromptAnswer> answers;
        std::deque<QString> fileNames;
        QStringList asked;
    };
    explicit ScriptedDialogs(Log& log)
        : log(log)
    {
    }
    PromptAnswer Next(const char* what)
    {
        log.asked << QString::fromLatin1(what);
        if (log.answers.empty())
            return PromptAnswer::Cancel;
        const PromptAnswer answer = log.answers.front();
        log.answers.pop_front();
        return answer;
    }
    QString NextFile(const char* what)
    {
        log.asked << QString::fromLatin1(what);
        if (log.fileNames.empty())
            return QString();
        const QString name = log.fileNames.front();
        log.fileNames.pop_front();
        return name;
    }
    PromptAnswer AskToSaveChanges(QWidget*) override { return Next("ask-save"); }
    PromptAnswer AskToSaveOnClose(QWidget*) override { return Next("ask-close"); }
    void ShowOpenError(QWidget*) override { log.asked << QStringLiteral("open-error"); }
    void ShowSaveError(QWidget*, const QString& reason) override { log.asked << QStringLiteral("save-error:") + reason; }
    void ShowCircularReferenceWarning(QWidget*, const QString&) override { log.asked << QStringLiteral("circular"); }
    QString GetOpenFileName(QWidget*, const QString&) override { return NextFile("open-dialog"); }
    QString GetSaveFileName(QWidget*, const QString&, const QString&) override { return NextFile("save-dialog"); }
    Log& log;
};

// Files ending in ".qwin" hold the text of the active sheet's A1; "fail" in A1 fails the write.
class WindowTestFormat final : public SpreadSheetCustomFormat {
public:
    QString GetExt() const override { return QStringLiteral(".qwin"); }
    QString GetDescription() const override { return QStringLiteral("Window Test"); }
    bool HasReader() const override { return true; }
    bool HasWriter() const override { return true; }
    bool CanReadFromStream(const QByteArray& data) const override { return data.startsWith("QWIN"); }
    void ReadData(SpreadSheet& book, const QByteArray& data) const override
    {
        book.AddSheet()->CreateCell(0, 0)->SetText(QString::fromUtf8(data.mid(4)));
    }
    QByteArray WriteData(SpreadSheet& book) const override
    {
        const SpreadSheetCell* cell = book.ActiveSheet()->GetCell(0, 0);
        const QString text = cell ? cell->AsString() : QString();
        if (text == QStringLiteral("fail"))
            throw ESpreadSheetError(QStringLiteral("disk full"));
        return "QWIN" + text.toUtf8();
    }
};

class FormQuorvelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("LOCALAPPDATA", config_.path().toUtf8());
        SpreadSheetFormatsRepository::Register(&format_);
    }
    void TearDown() override
    {
        SpreadSheetFormatsRepository::Unregister(&format_);
        qunsetenv("LOCALAPPDATA");
    }
    std::unique_ptr<FormQuorvel> MakeWindow(const QStringList& arguments = {}, bool show = true)
    {
        auto window = std::make_unique<FormQuorvel>(arguments, std::make_unique<ScriptedDialogs>(log_));
        if (show)
            window->show();
        return window;
    }
    QString Path(const QString& name) const { return QDir(files_.path()).filePath(name); }
    static void Type(FormQuorvel& window, const QString& text)
    {
        // The first character opens the editor as typing does; Enter in the editor commits.
        SpreadSheetGridView* grid = window.Control().Grid();
        grid->HandleKey(0, Qt::NoModifier, text.left(1));
        ASSERT_TRUE(grid->IsEditing());
        grid->Editor()->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(grid->Editor(), &enter);
        EXPECT_FALSE(grid->IsEditing());
    }
    static QString A1(FormQuorvel& window)
    {
        const SpreadSheetCell* cell = window.Book().ActiveSheet()->GetCell(0, 0);
        return cell ? cell->AsString() : QString();
    }
    static bool Close(FormQuorvel& window)
    {
        QCloseEvent event;
        QApplication::sendEvent(&window, &event);
        return event.isAccepted();
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Write(const QString& path, const QByteArray& data)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QTemporaryDir config_;
    QTemporaryDir files_;
    WindowTestFormat format_;
    ScriptedDialogs::Log log_;
};

TEST_F(FormQuorvelTest, StartsWithANewRussianDocument)
{
    auto window = MakeWindow();
    EXPECT_TRUE(window->Prepared());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Новый документ - Quorvel"));
    ASSERT_EQ(window->Book().SheetCount(), 1);
    EXPECT_EQ(window->Book().Sheets(0)->Caption(), QStringLiteral("Лист1"));
    EXPECT_EQ(window->Control().SheetTabs()->tabText(0), QStringLiteral("Лист1"));
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(window->CurrentFilePath().isEmpty());
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("A1"));
    EXPECT_TRUE(window->Book().HistoryEnabled());
    EXPECT_TRUE(window->Book().OptionsBehavior().IterativeCalculation);
    EXPECT_EQ(window->Book().OptionsView().GridLineColor, 0x00C0C0C0u);
    EXPECT_EQ(window->Actions().Action(QStringLiteral("SpreadSheetUndo"))->text(), QStringLiteral("Отменить"));
    EXPECT_FALSE(window->Actions().Action(QStringLiteral("SpreadSheetUndo"))->isEnabled());
    EXPECT_TRUE(log_.asked.isEmpty());
}

TEST_F(FormQuorvelTest, TypingModifiesAndUndoingEverythingStaysModified)
{
    auto window = MakeWindow();
    Type(*window, QStringLiteral("12"));
    EXPECT_EQ(A1(*window), QStringLiteral("12"));
    EXPECT_EQ(window->Book().ActiveSheet()->GetCell(0, 0)->DataType(), cdtFloat);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("A2"));
    QAction* undo = window->Actions().Action(QStringLiteral("SpreadSheetUndo"));
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(A1(*window).isEmpty());
    EXPECT_TRUE(window->Modified());
    EXPECT_FALSE(undo->isEnabled());
    window->Actions().Action(QStringLiteral("SpreadSheetRedo"))->trigger();
    EXPECT_EQ(A1(*window), QStringLiteral("12"));
}

TEST_F(FormQuorvelTest, FormulasShowResultsEditAsTextAndWarnOnceOfCycles)
{
    auto window = MakeWindow();
    Type(*window, QStringLiteral("=A2*2"));
    Type(*window, QStringLiteral("21"));
    EXPECT_EQ(A1(*window), QStringLiteral("42"));
    // F2 on A1 opens the editor on the formula, not on its result.
    window->Control().Selection().SetFocusedCell(0, 0);
    SpreadSheetGridView* grid = window->Control().Grid();
    grid->HandleKey(Qt::Key_F2, Qt::NoModifier);
    ASSERT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->text(), QStringLiteral("=A2*2"));
    grid->HandleKey(Qt::Key_Escape, Qt::NoModifier);

    // A cycle is reported once, after the edit that made it, and not again while it lasts.
    window->Control().Selection().SetFocusedCell(1, 0);
    Type(*window, QStringLiteral("=A1"));
    EXPECT_FALSE(log_.asked.contains(QStringLiteral("circular")));
    QCoreApplication::processEvents();
    EXPECT_EQ(log_.asked.count(QStringLiteral("circular")), 1);
    EXPECT_EQ(A1(*window), QStringLiteral("0"));
    Type(*window, QStringLiteral("7"));
    QCoreApplication::processEvents();
    EXPECT_EQ(log_.asked.count(QStringLiteral("circular")), 1);
}

TEST_F(FormQuorvelTest, CtrlShiftEnterEntersAnArrayFormulaOverTheSelection)
{
    auto window = MakeWindow();
    window->Control().Selection().Select(SpreadSheetArea { 0, 0, 0, 2 }, 0, 0);
    SpreadSheetGridView* grid = window->Control().Grid();
    grid->HandleKey(0, Qt::NoModifier, QStringLiteral("="));
    ASSERT_TRUE(grid->IsEditing());
    grid->Editor()->setText(QStringLiteral("={10;20;30}*2"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(grid->Editor(), &enter);
    EXPECT_FALSE(grid->IsEditing());
    SpreadSheetTableView& sheet = *window->Book().ActiveSheet();
    EXPECT_EQ(sheet.GetCell(2, 0)->AsString(), QStringLiteral("60"));
    EXPECT_EQ(window->Book().FormulaController().FindArrayFormula(&sheet, 1, 0), 2);
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("A1"));
}

TEST_F(FormQuorvelTest, StatusBarFollowsTheFocusedCell)
{
    auto window = MakeWindow();
    window->Control().Selection().SetFocusedCell(9, 26);
    window->Control().Grid()->HandleKey(Qt::Key_Right, Qt::NoModifier);
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("AB10"));
    window->Control().Grid()->HandleKey(Qt::Key_End, Qt::ControlModifier);
    window->Control().Grid()->HandleKey(Qt::Key_Down, Qt::ControlModifier);
    window->Control().Grid()->HandleKey(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("XFD1048576"));
    Type(*window, QStringLiteral("end"));
    EXPECT_EQ(window->Book().ActiveSheet()->GetCell(kMaxRowIndex, kMaxColumnIndex)->AsString(), QStringLiteral("end"));
    EXPECT_FALSE(window->Control().Grid()->grab().isNull());
}

TEST_F(FormQuorvelTest, NewAsksFirstAndCancelKeepsTheDocument)
{
    const struct {
        std::deque<PromptAnswer> answers;
        std::deque<QString> saveNames;
        bool replaced;
    } cases[] = {
        { { PromptAnswer::Cancel }, {}, false },
        { { PromptAnswer::No }, {}, true },
        // Yes, then the Save As dialog is cancelled: nothing was saved, so New stops.
        { { PromptAnswer::Yes }, {}, false },
        // Yes, then a name whose format does not exist: the save fails and New stops.
        { { PromptAnswer::Yes }, { QStringLiteral("book.unknown") }, false },
        { { PromptAnswer::Yes }, { QStringLiteral("saved.qwin") }, true },
    };
    for (const auto& c : cases) {
        auto window = MakeWindow();
        Type(*window, QStringLiteral("kept"));
        log_ = {};
        log_.answers = c.answers;
        for (const QString& name : c.saveNames)
            log_.fileNames.push_back(Path(name));
        window->Actions().Action(QStringLiteral("SpreadSheetNewDocument"))->trigger();
        EXPECT_EQ(log_.asked.front(), QStringLiteral("ask-save"));
        EXPECT_EQ(A1(*window).isEmpty(), c.replaced) << log_.asked.join(u' ').toStdString();
        EXPECT_EQ(window->Modified(), !c.replaced);
        if (c.replaced) {
            EXPECT_EQ(window->windowTitle(), QStringLiteral("Новый документ - Quorvel"));
        }
    }
}

TEST_F(FormQuorvelTest, FailedOpenShowsTheMessageAndChangesNothing)
{
    Write(Path("notes.txt"), "just text");
    auto window = MakeWindow();
    Type(*window, QStringLiteral("mine"));
    log_ = {};
    log_.answers = { PromptAnswer::No };
    log_.fileNames = { Path("notes.txt") };
    EXPECT_FALSE(window->OpenDocumentWithDialog());
    EXPECT_EQ(log_.asked, (QStringList { "ask-save", "open-dialog", "open-error" }));
    EXPECT_EQ(A1(*window), QStringLiteral("mine"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Новый документ - Quorvel"));
    EXPECT_TRUE(window->Modified());
}

TEST_F(FormQuorvelTest, OpenSetsPathCaptionAndUnmodifiedState)
{
    Write(Path("report.qwin"), "QWINhello");
    auto window = MakeWindow();
    EXPECT_TRUE(window->OpenDocumentFile(Path("report.qwin")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("report.qwin - Quorvel"));
    EXPECT_EQ(window->CurrentFilePath(), Path("report.qwin"));
    EXPECT_EQ(A1(*window), QStringLiteral("hello"));
    EXPECT_FALSE(window->Modified());
}

TEST_F(FormQuorvelTest, CommandLineFileThatIsNotADocument)
{
    Write(Path("picture.png"), "PNG?");
    auto window = MakeWindow({ Path("picture.png"), Path("second.qwin") }, false);
    EXPECT_EQ(log_.asked, QStringList { "open-error" });
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Новый документ - Quorvel"));

    Write(Path("start.qwin"), "QWINfrom the command line");
    auto opened = MakeWindow({ Path("start.qwin") });
    EXPECT_EQ(opened->windowTitle(), QStringLiteral("start.qwin - Quorvel"));
    EXPECT_EQ(A1(*opened), QStringLiteral("from the command line"));
}

TEST_F(FormQuorvelTest, FailedSaveIsReportedAndKeepsPathStateAndOldFile)
{
    auto window = MakeWindow();
    Type(*window, QStringLiteral("first"));
    log_.fileNames = { Path("book.qwin") };
    ASSERT_TRUE(window->SaveDocumentAs());
    EXPECT_FALSE(window->Modified());
    EXPECT_FALSE(window->Book().Modified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("book.qwin - Quorvel"));

    window->Control().Selection().SetFocusedCell(0, 0);
    Type(*window, QStringLiteral("fail"));
    log_.asked.clear();
    EXPECT_FALSE(window->SaveDocument());
    EXPECT_EQ(log_.asked, QStringList { QStringLiteral("save-error:disk full") });
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->CurrentFilePath(), Path("book.qwin"));
    EXPECT_EQ(Read(Path("book.qwin")), QByteArray("QWINfirst"));

    log_.asked.clear();
    log_.fileNames = { Path("other.qwin") };
    EXPECT_FALSE(window->SaveDocumentAs());
    EXPECT_EQ(window->CurrentFilePath(), Path("book.qwin"));
    EXPECT_FALSE(QFile::exists(Path("other.qwin")));
}

TEST_F(FormQuorvelTest, ClosingAsksAndYesClosesOnlyAfterASave)
{
    const struct {
        PromptAnswer answer;
        const char* saveName; // for the Save As dialog that Yes opens
        bool closes;
    } cases[] = {
        { PromptAnswer::Cancel, nullptr, false },
        { PromptAnswer::No, nullptr, true },
        { PromptAnswer::Yes, nullptr, false },
        { PromptAnswer::Yes, "book.unknown", false },
        { PromptAnswer::Yes, "closing.qwin", true },
    };
    for (const auto& c : cases) {
        auto window = MakeWindow();
        Type(*window, QStringLiteral("text"));
        log_ = {};
        log_.answers = { c.answer };
        if (c.saveName)
            log_.fileNames = { Path(QString::fromLatin1(c.saveName)) };
        EXPECT_EQ(Close(*window), c.closes) << log_.asked.join(u' ').toStdString();
        EXPECT_EQ(log_.asked.front(), QStringLiteral("ask-close"));
    }
    EXPECT_EQ(Read(Path("closing.qwin")), QByteArray("QWINtext"));

    auto unmodified = MakeWindow();
    log_ = {};
    EXPECT_TRUE(Close(*unmodified));
    EXPECT_TRUE(log_.asked.isEmpty());
}

TEST_F(FormQuorvelTest, SaveAfterNewAsksForAName)
{
    auto window = MakeWindow();
    window->NewDocument();
    log_ = {};
    EXPECT_FALSE(window->SaveDocument());
    EXPECT_EQ(log_.asked, QStringList { "save-dialog" });
}

TEST_F(FormQuorvelTest, BarLayoutIsWrittenAtExitAndReadAtStart)
{
    {
        auto window = MakeWindow();
        EXPECT_EQ(window->ConfigFolderPath(), QDir(config_.path()).filePath(QStringLiteral("Larkmere")));
        window->RibbonBar().Tabs()->setCurrentIndex(3);
    }
    const QString ini = QDir(config_.path()).filePath(QStringLiteral("Larkmere/XConfig.ini"));
    ASSERT_TRUE(QFile::exists(ini));
    auto window = MakeWindow();
    EXPECT_EQ(window->RibbonBar().Tabs()->currentIndex(), 3);
    EXPECT_EQ(window->RibbonBar().Tabs()->tabText(0), QStringLiteral("Главная"));
}

TEST_F(FormQuorvelTest, SheetTabsSwitchAndAddSheets)
{
    auto window = MakeWindow();
    window->Control().AddSheet();
    QTabBar* tabs = window->Control().SheetTabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Лист2"));
    EXPECT_EQ(window->Book().ActiveSheetIndex(), 1);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(window->Book().ActiveSheetIndex(), 0);
}

TEST(AboutLinks, OnlyUpdateAddressesStartTheUpdateCheck)
{
    const struct {
        const char* url;
        AboutLinkTarget target;
    } cases[] = {
        { "https://larkmere.example/quorvel/updates", AboutLinkTarget::UpdateCheck },
        { "xupdates", AboutLinkTarget::UpdateCheck },
        { "updates", AboutLinkTarget::ExternalBrowser },
        { "https://larkmere.example/", AboutLinkTarget::ExternalBrowser },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyAboutLink(QUrl(QString::fromLatin1(c.url))), c.target) << c.url;
    EXPECT_TRUE(AboutPageHtml().contains(QStringLiteral("Проверить наличие обновлений")));
}

TEST(FileFilters, RegistryFiltersBecomeQtFilters)
{
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("All Supported|*.xlsx;*.xls;|Excel Workbook (*.xlsx)|*.xlsx|")),
        QStringLiteral("All Supported (*.xlsx *.xls);;Excel Workbook (*.xlsx)"));
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("All Supported||")), QString());
}

} // namespace
} // namespace quorvel
