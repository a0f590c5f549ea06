#include "cli/EvalCommand.h"
#include "resources/ResourceString.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryFile>
#include <QTextStream>

namespace quorvel {
namespace {

struct EvalRun {
    int status;
    QString out;
    QString err;
};

EvalRun eval(const QStringList& args)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = RunEvalCommand(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    Localizer::Reset();
    return { status, out, err };
}

TEST(EvalCommand, PrintsKindsAndValues)
{
    struct Case {
        QStringList args;
        QString expected;
    } cases[] = {
        { { "A1=12.0", "A1" }, "A1\tnumber\t12\n" },
        { { "--locale", "ru_RU", "A1=1,5", "A1" }, "A1\tnumber\t1.5\n" },
        { { "--lang", "ru", "A1=да", "A1" }, "A1\tboolean\tTRUE\n" },
        { { "A1=#n/a", "A1" }, "A1\terror\t#N/A\n" },
        { { "A1=5\"", "A1" }, "A1\tstring\t5\"\n" },
        { { "A1=a=b", "A1" }, "A1\tstring\ta=b\n" },
        { { "A1=1/2/2024", "A1" }, "A1\tnumber\t45293\n" },
        { { "A1=12:00", "A1" }, "A1\tnumber\t0.5\n" },
        { { "A1=$5", "A1" }, "A1\tnumber\t5\n" },
        { { "A1=0.1", "A1" }, "A1\tnumber\t0.1\n" },
        { { "A1=true", "A1" }, "A1\tboolean\tTRUE\n" },
        { { "A1=x\\y", "A1" }, "A1\tstring\tx\\\\y\n" },
        { { "A1=", "A1", "B7" }, "A1\tempty\t\nB7\tempty\t\n" },
        { { "--1904", "A1=1/2/1904", "A1" }, "A1\tnumber\t1\n" },
        { { "Sheet2!B3=4", "Sheet2!B3", "B3" }, "Sheet2!B3\tnumber\t4\nB3\tempty\t\n" },
        { { "'My sheet'!A1=x", "'My sheet'!A1" }, "'My sheet'!A1\tstring\tx\n" },
        { { "--r1c1", "R2C3=9", "R2C3" }, "R2C3\tnumber\t9\n" },
        { { "A1=5", "B1=1", "A1=7", ":undo", "A1", ":redo", "A1" }, "A1\tnumber\t5\nA1\tnumber\t7\n" },
        { { "A1=5", "--formula", "A1" }, "A1\t5\n" },
        // Formulas print their results by kind, and their text with --formula.
        { { "A1=2", "B1==A1^3", "B1", "--formula", "B1" }, "B1\tnumber\t8\nB1\t=A1^3\n" },
        { { "A1==1<2", "A2==\"a\"&1", "A3==1/0", "A4==NOPE()", "A1", "A2", "A3", "A4" },
            "A1\tboolean\tTRUE\nA2\tstring\ta1\nA3\terror\t#DIV/0!\nA4\terror\t#NAME?\n" },
        { { "A1==SUM(1,2", "A1" }, "A1\tstring\t=SUM(1,2\n" },
        { { "--locale", "ru_RU", "A1==SUM(1;2,5)", "A1", "--formula", "A1" }, "A1\tnumber\t3.5\nA1\t=SUM(1;2,5)\n" },
        { { "A1:C1=={1,2}", "B1", "C1" }, "B1\tnumber\t2\nC1\terror\t#N/A\n" },
        { { "--iterate", "10", "A1==A1+1", "A1" }, "A1\tnumber\t10\n" },
        { { "--manual", "A1=2", "B1==A1*10", "A1=3", "B1", ":calc", "B1" }, "B1\tnumber\t20\nB1\tnumber\t30\n" },
        { { "A1=4", "B1==A1*2", "A1=5", ":undo", "B1" }, "B1\tnumber\t8\n" },
    };
    for (const Case& c : cases) {
        const EvalRun run = eval(c.args);
        EXPECT_EQ(run.status, 0) << c.args.join(u' ').toStdString() << run.err.toStdString();
        EXPECT_EQ(run.out, c.expected) << c.args.join(u' ').toStdString();
    }
}

TEST(EvalCommand, BadArgumentsExitWithStatus2)
{
    const QStringList cases[] = {
        { "--bogus" },
        { "--locale", "xx_NOPE", "A1" },
        { "--lang", "de", "A1" },
        { "A0=1" },
        { "XFE1" },
        { "!A1=3" },
        { "@/nonexistent/items.txt" },
        { "--iterate", "x", "A1" },
        { "--iterate", "-1", "A1" },
    };
    for (const QStringList& args : cases) {
        const EvalRun run = eval(args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST(EvalCommand, CircularReferencesWarnOnStderrOnce)
{
    const EvalRun run = eval({ "A1==B1", "B1==A1+1", "A1", "C1=5", "A1" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"A1\tnumber\t0\nA1\tnumber\t0\n");
    EXPECT_EQ(run.err, u"quorvel-cli eval: warning: circular references: The Sheet1!A1 -> Sheet1!B1\n");
}

TEST(EvalCommand, ItemsFromAFile)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("A1=2\r\nA2=x\tz\n\nA1\nA2\n");
    file.close();
    const EvalRun run = eval({ "@" + file.fileName() });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "A1\tnumber\t2\nA2\tstring\tx\\tz\n");
}

TEST(EvalCommand, ExecutableReportsUsageErrors)
{
    QProcess process;
    process.start(QStringLiteral(QUORVEL_CLI_PATH), { QStringLiteral("eval"), QStringLiteral("A1=12.0"), QStringLiteral("A1") });
    process.waitForFinished(-1);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), "A1\tnumber\t12\n");
    process.start(QStringLiteral(QUORVEL_CLI_PATH), { QStringLiteral("frobnicate") });
    process.waitForFinished(-1);
    EXPECT_EQ(process.exitCode(), 2);
}

} // namespace
} // namespace quorvel
