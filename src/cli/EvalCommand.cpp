#include "cli/EvalCommand.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableView.h"
#include "model/SpreadSheetValueText.h"
#include "platform/LocaleData.h"
#include "resources/ResourceString.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <optional>

namespace quorvel {

namespace {

struct UsageError {
    QString message;
};

QString shortestNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString escaped(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            result += QStringLiteral("\\\\");
        else if (c == u'\t')
            result += QStringLiteral("\\t");
        else if (c == u'\n')
            result += QStringLiteral("\\n");
        else if (c == u'\r')
            result += QStringLiteral("\\r");
        else
            result += c;
    }
    return result;
}

struct CellTarget {
    SpreadSheetTableView* sheet;
    int row;
    int column;
};

class EvalSession {
public:
    EvalSession(SpreadSheet& book, QTextStream& out)
        : book_(book)
        , out_(out)
    {
    }
    ~EvalSession() { EndBatch(); }

    void Run(const QStringList& items, int depth = 0)
    {
        for (const QString& item : items)
            RunItem(item, depth);
    }

    void EndBatch()
    {
        if (inBatch_) {
            inBatch_ = false;
            book_.EndUpdate();
        }
    }

private:
    void RunItem(const QString& item, int depth)
    {
        if (pendingFormula_) {
            pendingFormula_ = false;
            EndBatch();
            PrintFormula(item);
            return;
        }
        if (item == u"--formula") {
            pendingFormula_ = true;
            return;
        }
        if (item == u":calc") {
            EndBatch();
            book_.Calculate();
            return;
        }
        if (item == u":undo" || item == u":redo") {
            EndBatch();
            if (item == u":undo")
                book_.History().Undo(1);
            else
                book_.History().Redo(1);
            return;
        }
        if (item.startsWith(u'@')) {
            if (depth > 8)
                throw UsageError { QStringLiteral("@FILE nested too deeply: %1").arg(item) };
            QFile file(item.mid(1));
            if (!file.open(QIODevice::ReadOnly))
                throw UsageError { QStringLiteral("cannot read %1").arg(item.mid(1)) };
            QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
            for (QString& line : lines)
                if (line.endsWith(u'\r'))
                    line.chop(1);
            lines.removeAll(QString());
            Run(lines, depth + 1);
            return;
        }
        const qsizetype eq = item.indexOf(u'=');
        if (eq > 0) {
            if (!inBatch_) {
                book_.BeginUpdate();
                inBatch_ = true;
            }
            // "A1:C2==..." enters the text over the area as an array.
            const QString ref = item.left(eq);
            const qsizetype colon = ref.indexOf(u':', ref.lastIndexOf(u'!') + 1);
            if (colon > 0) {
                const CellTarget first = Resolve(ref.left(colon), true);
                const QString prefix = ref.left(ref.lastIndexOf(u'!') + 1);
                const CellTarget last = Resolve(prefix + ref.mid(colon + 1), true);
                const SpreadSheetArea area { std::min(first.column, last.column), std::min(first.row, last.row),
                    std::max(first.column, last.column), std::max(first.row, last.row) };
                first.sheet->SetArrayFormula(area, item.mid(eq + 1));
                return;
            }
            const CellTarget target = Resolve(ref, true);
            target.sheet->CreateCell(target.row, target.column)->SetText(item.mid(eq + 1), true);
            return;
        }
        EndBatch();
        Print(item);
    }

    CellTarget Resolve(const QString& ref, bool create)
    {
        QString sheetName;
        QString cellText = ref;
        const qsizetype bang = ref.lastIndexOf(u'!');
        if (bang >= 0) {
            sheetName = ref.left(bang);
            cellText = ref.mid(bang + 1);
            if (sheetName.size() >= 2 && sheetName.startsWith(u'\'') && sheetName.endsWith(u'\''))
                sheetName = sheetName.mid(1, sheetName.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
            if (sheetName.isEmpty())
                throw UsageError { QStringLiteral("bad cell reference: %1").arg(ref) };
        }
        int row = 0;
        int column = 0;
        if (!TryParseCellReference(cellText, book_.R1C1Reference(), row, column) || row < 0 || row > kMaxRowIndex
            || column < 0 || column > kMaxColumnIndex)
            throw UsageError { QStringLiteral("bad cell reference: %1").arg(ref) };
        SpreadSheetTableView* sheet = book_.ActiveSheet();
        if (!sheetName.isEmpty()) {
            sheet = book_.GetSheetByName(sheetName);
            if (sheet == nullptr) {
                if (!create)
                    return { nullptr, row, column };
                sheet = book_.AddSheet(sheetName);
            }
        }
        return { sheet, row, column };
    }

    void Print(const QString& ref)
    {
        const CellTarget target = Resolve(ref, false);
        const SpreadSheetCell* cell = target.sheet ? target.sheet->GetCell(target.row, target.column) : nullptr;
        QString kind = QStringLiteral("empty");
        QString value;
        if (cell) {
            // A formula prints as its result.
            const SpreadSheetCellValue result = cell->IsFormula() ? cell->FormulaResult() : SpreadSheetCellValue {};
            switch (cell->IsFormula() ? result.type : cell->DataType()) {
            case cdtBlank:
                break;
            case cdtBoolean:
                kind = QStringLiteral("boolean");
                value = cell->AsBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                break;
            case cdtError:
                kind = QStringLiteral("error");
                value = ErrorCodeToText(cell->AsError());
                break;
            case cdtString:
                kind = QStringLiteral("string");
                value = escaped(cell->IsFormula() ? result.text : cell->AsString());
                break;
            default:
                kind = QStringLiteral("number");
                value = shortestNumber(cell->AsFloat());
                break;
            }
        }
        out_ << ref << u'\t' << kind << u'\t' << value << u'\n';
    }

    void PrintFormula(const QString& ref)
    {
        const CellTarget target = Resolve(ref, false);
        const SpreadSheetCell* cell = target.sheet ? target.sheet->GetCell(target.row, target.column) : nullptr;
        QString text;
        if (cell)
            text = cell->IsFormula() ? cell->AsFormula()->AsText() : cell->AsString();
        out_ << ref << u'\t' << escaped(text) << u'\n';
    }

    SpreadSheet& book_;
    QTextStream& out_;
    bool inBatch_ = false;
    bool pendingFormula_ = false;
};

} // namespace

int RunEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString localeName = QStringLiteral("en_US");
    bool russian = false;
    bool date1904 = false;
    bool r1c1 = false;
    bool manual = false;
    std::optional<int> iterations;
    qsizetype i = 0;
    for (; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--locale" && i + 1 < args.size()) {
            localeName = args[++i];
        } else if (arg == u"--lang" && i + 1 < args.size()) {
            const QString lang = args[++i];
            if (lang != u"ru" && lang != u"en") {
                err << "quorvel-cli eval: unknown language: " << lang << "\n";
                return 2;
            }
            russian = lang == u"ru";
        } else if (arg == u"--1904") {
            date1904 = true;
        } else if (arg == u"--r1c1") {
            r1c1 = true;
        } else if (arg == u"--manual") {
            manual = true;
        } else if (arg == u"--iterate" && i + 1 < args.size()) {
            bool ok = false;
            const int count = args[++i].toInt(&ok);
            if (!ok || count < 0) {
                err << "quorvel-cli eval: bad iteration count: " << args[i] << "\n";
                return 2;
            }
            iterations = std::min(count, kMaxIterationCount);
        } else if (arg.startsWith(u"--") && arg != u"--formula") {
            err << "quorvel-cli eval: unknown option: " << arg << "\n";
            return 2;
        } else {
            break;
        }
    }
    if (russian) {
        if (!Localizer::ActivateShipped(kLocaleRussian)) {
            err << "quorvel-cli eval: the Russian translation is missing\n";
            return 1;
        }
    } else {
        Localizer::Reset();
    }
    const LocaleData locale = LocaleData::ForName(localeName);
    if (locale.name != localeName && localeName != u"C") {
        err << "quorvel-cli eval: unknown locale: " << localeName << "\n";
        return 2;
    }

    SpreadSheet book(localeName);
    book.SetHistoryEnabled(true);
    if (date1904)
        book.SetDateTimeSystem(dts1904);
    book.SetR1C1Reference(r1c1);
    book.OptionsBehavior().AutomaticCalculation = !manual;
    if (iterations) {
        book.OptionsBehavior().IterativeCalculation = true;
        book.SetIterativeCalculationMaxCount(*iterations);
    }
    book.OnCircularReferences = [&] {
        out.flush();
        err << "quorvel-cli eval: warning: circular references: "
            << book.FormulaController().GetCircularReferencePathsAsString().replace(QStringLiteral("\r\n"), QStringLiteral("; "))
            << "\n";
        err.flush();
    };
    try {
        EvalSession session(book, out);
        session.Run(args.mid(i));
        session.EndBatch();
    } catch (const UsageError& error) {
        out.flush();
        err << "quorvel-cli eval: " << error.message << "\n";
        return 2;
    } catch (const ESpreadSheetError& error) {
        out.flush();
        err << "quorvel-cli eval: " << error.Message() << "\n";
        return 1;
    }
    return 0;
}

} // namespace quorvel
