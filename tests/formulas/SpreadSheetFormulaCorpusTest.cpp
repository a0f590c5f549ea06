// Formulas of real workbooks written by other programs: each must read back the same after printing.
#include "FormulaChainDescription.h"

#include "../model/SpreadSheetTestSupport.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "formulas/SpreadSheetReferences.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <zip.h>

#include <QFile>
#include <QSet>

#include <iostream>
#include <string>
#include <vector>

namespace quorvel {
namespace {

const QString kCorpus = QStringLiteral(QUORVEL_SOURCE_DIR "/../shared/corpus/");
// Enough of a file's distinct formulas to see its style without one file drowning the others.
constexpr int kMaxFormulasPerFile = 300;

struct CorpusFormula {
    QString text; // without "="
    int row = 0;
    int column = 0;
};

struct CorpusWorkbook {
    QString path;
    QStringList sheetNames;
    std::vector<CorpusFormula> formulas;
};

std::string ReadEntry(zip_t* archive, const char* name)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name, ZIP_FL_NOCASE, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return {};
    zip_file_t* file = zip_fopen(archive, name, ZIP_FL_NOCASE);
    if (!file)
        return {};
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    data.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return data;
}

// Sheet names from xl/workbook.xml and the <f> texts of xl/worksheets/*.xml (shared-formula
// children carry no text and are skipped).
CorpusWorkbook ReadWorkbook(const QString& path)
{
    CorpusWorkbook workbook;
    workbook.path = path;
    int error = 0;
    zip_t* archive = zip_open((kCorpus + path).toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!archive)
        return workbook;
    pugi::xml_document document;
    const std::string workbookXml = ReadEntry(archive, "xl/workbook.xml");
    if (document.load_buffer(workbookXml.data(), workbookXml.size())) {
        for (const pugi::xml_node sheet : document.document_element().child("sheets").children("sheet"))
            workbook.sheetNames << QString::fromUtf8(sheet.attribute("name").value());
    }
    QSet<QString> seen;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
        if (!name.startsWith(QStringLiteral("xl/worksheets/")) || !name.endsWith(QStringLiteral(".xml"))
            || name.count(u'/') != 2)
            continue;
        const std::string xml = ReadEntry(archive, name.toUtf8().constData());
        if (!document.load_buffer(xml.data(), xml.size()))
            continue;
        for (const pugi::xpath_node node : document.select_nodes("//*[local-name()='c']/*[local-name()='f']")) {
            const QString text = QString::fromUtf8(node.node().text().get());
            if (text.isEmpty() || seen.contains(text) || seen.size() >= kMaxFormulasPerFile)
                continue;
            seen.insert(text);
            CorpusFormula formula { text, 0, 0 };
            ParseCellReference(
                QString::fromUtf8(node.node().parent().attribute("r").value()), false, formula.row, formula.column);
            formula.row = std::max(formula.row, 0);
            formula.column = std::max(formula.column, 0);
            workbook.formulas.push_back(formula);
        }
    }
    zip_close(archive);
    return workbook;
}

std::vector<CorpusWorkbook> ReadCorpus()
{
    std::vector<CorpusWorkbook> workbooks;
    QFile manifest(kCorpus + QStringLiteral("MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        return workbooks;
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split(u'\n');
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 6 || fields[4] != QStringLiteral("xlsx")
            || !fields[5].contains(QStringLiteral("formulas=")))
            continue;
        CorpusWorkbook workbook = ReadWorkbook(fields[0]);
        if (!workbook.formulas.empty())
            workbooks.push_back(std::move(workbook));
    }
    return workbooks;
}

TEST(SpreadSheetFormulaCorpusTest, FormulasOfRealWorkbooksReadBackTheSame)
{
    const std::vector<CorpusWorkbook> workbooks = ReadCorpus();
    if (workbooks.empty())
        GTEST_SKIP() << "no corpus at " << kCorpus.toStdString();

    int formulaCount = 0;
    int unchangedCount = 0;
    QStringList syntaxErrors;
    for (const CorpusWorkbook& workbook : workbooks) {
        SCOPED_TRACE(workbook.path.toStdString());
        // Sheets named as in the file, so that sheet prefixes bind.
        std::unique_ptr<SpreadSheet> book = test::MakeBook();
        for (int i = 0; i < workbook.sheetNames.size(); ++i) {
            if (i == 0)
                book->Sheets(0)->SetCaption(workbook.sheetNames[0]);
            else
                book->AddSheet(workbook.sheetNames[i]);
        }
        SpreadSheetFormulaParser parser(book.get());
        // Printed as a file writer would: with the "_xlfn." prefixes.
        SpreadSheetFormatSettings fileSettings = parser.FormatSettings();
        fileSettings.ExpandFunctionPrefixes = true;

        for (const CorpusFormula& corpusFormula : workbook.formulas) {
            const QString text = u'=' + corpusFormula.text;
            SCOPED_TRACE(text.toStdString());
            ++formulaCount;
            SpreadSheetExpressionFormula formula(nullptr, book->Sheets(0), corpusFormula.row, corpusFormula.column);
            ASSERT_TRUE(parser.ParseFormula(text, formula));
            if (parser.ErrorCode() != pecNone) {
                syntaxErrors << workbook.path + QStringLiteral(": ") + text;
                continue;
            }
            SpreadSheetFormulaTextStack stack;
            for (const SpreadSheetFormulaToken* token = formula.Tokens(); token; token = token->Next())
                token->BuildText(stack, fileSettings);
            const QString printed = u'=' + stack.join(QString());
            unchangedCount += printed == text ? 1 : 0;

            SpreadSheetExpressionFormula again(nullptr, book->Sheets(0), corpusFormula.row, corpusFormula.column);
            ASSERT_TRUE(parser.ParseFormula(printed, again));
            EXPECT_EQ(parser.ErrorCode(), pecNone) << printed.toStdString();
            EXPECT_EQ(
                test::DescribeChain(again.Tokens(), fileSettings), test::DescribeChain(formula.Tokens(), fileSettings))
                << printed.toStdString();
        }
    }
    std::cout << formulaCount << " formulas from " << workbooks.size() << " files, " << unchangedCount
              << " printed exactly as written, " << syntaxErrors.size() << " not readable:\n";
    for (const QString& error : syntaxErrors)
        std::cout << "  " << error.toStdString() << '\n';
    EXPECT_GE(formulaCount, 300);
    // Only a few constructs of newer files (structured table references) are outside the syntax.
    EXPECT_LE(syntaxErrors.size() * 20, formulaCount);
}

} // namespace
} // namespace quorvel
