#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
};

CliRun runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QUORVEL_CLI_PATH), args);
    process.waitForFinished(-1);
    return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()) };
}

TEST(FunctionsCommand, ListsEveryRegisteredFunctionOneALine)
{
    const CliRun run = runCli({ QStringLiteral("functions") });
    ASSERT_EQ(run.exitCode, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 457);
    // The implemented column (yes/no) changes as implementations arrive; the rest is fixed.
    QStringList withoutImplemented;
    for (const QString& line : lines) {
        QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        EXPECT_TRUE(fields[3] == u"yes" || fields[3] == u"no") << line.toStdString();
        fields.removeAt(3);
        withoutImplemented.append(fields.join(u'\t'));
    }
    const QString expected[] = {
        QStringLiteral("SUMIF\tMath & Trig\t345\tSUMIF(array1, value2, [array3])"),
        QStringLiteral("VLOOKUP\tLookup & Reference\t102\tVLOOKUP(value1, array2, value3, [value4])"),
        QStringLiteral("DSUM\tDatabase\t41\tDSUM(?)"),
        QStringLiteral("IFNA\tLogical\t-\tIFNA(value1, value2)"),
    };
    for (const QString& line : expected)
        EXPECT_TRUE(withoutImplemented.contains(line)) << line.toStdString();
}

TEST(FunctionsCommand, RefusesExtraArguments)
{
    const CliRun run = runCli({ QStringLiteral("functions"), QStringLiteral("extra") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
}

} // namespace
