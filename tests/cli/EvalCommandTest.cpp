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
    };
    for (const QStringList& args : cases) {
        const EvalRun run = eval(args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
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
