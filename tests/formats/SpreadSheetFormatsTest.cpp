#include "formats/SpreadSheetFormats.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetTableView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A format for the tests: "QTST" files hold the text of A1; a write of a workbook whose A1 says
// "fail" raises half-way.
class TestFormat final : public SpreadSheetCustomFormat {
public:
    QString GetExt() const override { return QStringLiteral(".qtst"); }
    QString GetDescription() const override { return QStringLiteral("Test Document"); }
    bool HasReader() const override { return true; }
    bool HasWriter() const override { return true; }
    bool CanReadFromStream(const QByteArray& data) const override { return data.startsWith("QTST"); }
    void ReadData(SpreadSheet& book, const QByteArray& data) const override
    {
        book.AddSheet()->CreateCell(0, 0)->SetText(QString::fromUtf8(data.mid(4)));
    }
    QByteArray WriteData(SpreadSheet& book) const override
    {
        const QString text = book.ActiveSheet()->GetCell(0, 0)->AsString();
        if (text == QStringLiteral("fail"))
            throw ESpreadSheetError(QStringLiteral("write failed"));
        return "QTST" + text.toUtf8();
    }
};

class SpreadSheetFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { SpreadSheetFormatsRepository::Register(&format_); }
    void TearDown() override { SpreadSheetFormatsRepository::Unregister(&format_); }
    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    static void Write(const QString& path, const QByteArray& data)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TestFormat format_;
    QTemporaryDir dir_;
};

TEST_F(SpreadSheetFormatsTest, FindsFormatsByExtensionIgnoringCase)
{
    const struct {
        const char* name;
        bool found;
    } cases[] = {
        { "book.qtst", true },
        { "BOOK.QTST", true },
        { "/some.dir/book.QtSt", true },
        { "book.qtst.bak", false },
        { "book", false },
        { "dir.qtst/book", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpreadSheetFormatsRepository::Find(QString::fromUtf8(c.name)) != nullptr, c.found) << c.name;
}

TEST_F(SpreadSheetFormatsTest, DialogFiltersListReadersAndWriters)
{
    EXPECT_EQ(SpreadSheetFormatsRepository::GetOpenDialogFilter(),
        QStringLiteral("All Supported|*.qtst;|Test Document (*.qtst)|*.qtst|"));
    EXPECT_EQ(SpreadSheetFormatsRepository::GetSaveDialogFilter(), QStringLiteral("Test Document (*.qtst)|*.qtst|"));
}

TEST_F(SpreadSheetFormatsTest, LoadsByExtensionOrByContent)
{
    Write(Path("a.qtst"), "QTSTone");
    Write(Path("b.data"), "QTSTtwo");
    for (const char* name : { "a.qtst", "b.data" }) {
        SpreadSheet book;
        LoadFromFile(book, Path(QString::fromUtf8(name)));
        ASSERT_EQ(book.SheetCount(), 1);
        EXPECT_FALSE(book.Modified());
        EXPECT_FALSE(book.ActiveSheet()->GetCell(0, 0)->AsString().isEmpty()) << name;
    }
}

TEST_F(SpreadSheetFormatsTest, FailedLoadLeavesTheWorkbookAsItWas)
{
    Write(Path("plain.txt"), "not a workbook");
    Write(Path("wrong.qtst"), "garbage");
    for (const QString& path : { Path("plain.txt"), Path("wrong.qtst"), Path("missing.qtst") }) {
        SpreadSheet book;
        book.ActiveSheet()->CreateCell(1, 1)->SetText(QStringLiteral("keep"));
        book.AddSheet(QStringLiteral("Second"));
        EXPECT_THROW(LoadFromFile(book, path), ESpreadSheetError) << path.toStdString();
        EXPECT_EQ(book.SheetCount(), 2);
        EXPECT_EQ(book.Sheets(0)->GetCell(1, 1)->AsString(), QStringLiteral("keep"));
    }
}

TEST_F(SpreadSheetFormatsTest, UnsupportedFormatIsAFormatError)
{
    Write(Path("plain.txt"), "text");
    SpreadSheet book;
    EXPECT_THROW(LoadFromFile(book, Path("plain.txt")), ESpreadSheetFormatError);
    EXPECT_THROW(SaveToFile(book, Path("out.unknown")), ESpreadSheetFormatError);
    EXPECT_FALSE(QFile::exists(Path("out.unknown")));
}

TEST_F(SpreadSheetFormatsTest, SavesAndKeepsTheOldFileWhenTheWriteFails)
{
    const QString path = Path("book.qtst");
    SpreadSheet book;
    book.ActiveSheet()->CreateCell(0, 0)->SetText(QStringLiteral("first"));
    SaveToFile(book, path);
    EXPECT_EQ(Read(path), QByteArray("QTSTfirst"));

    book.ActiveSheet()->GetCell(0, 0)->SetText(QStringLiteral("fail"));
    EXPECT_THROW(SaveToFile(book, path), ESpreadSheetError);
    EXPECT_EQ(Read(path), QByteArray("QTSTfirst"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList { QStringLiteral("book.qtst") });
}

TEST_F(SpreadSheetFormatsTest, SaveIntoAMissingFolderRaises)
{
    SpreadSheet book;
    book.ActiveSheet()->CreateCell(0, 0)->SetText(QStringLiteral("x"));
    EXPECT_THROW(SaveToFile(book, Path("no/such/folder/book.qtst")), ESpreadSheetError);
}

} // namespace
} // namespace quorvel
