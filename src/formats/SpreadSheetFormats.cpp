#include "formats/SpreadSheetFormats.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <vector>

namespace quorvel {

namespace {

std::vector<const SpreadSheetCustomFormat*>& registry()
{
    static std::vector<const SpreadSheetCustomFormat*> formats;
    return formats;
}

QString extensionOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString filterEntries(bool (SpreadSheetCustomFormat::*has)() const, QString* patterns)
{
    QString entries;
    for (const SpreadSheetCustomFormat* format : registry()) {
        if (!(format->*has)() || format->GetDescription().isEmpty())
            continue;
        const QString ext = format->GetExt();
        entries += QStringLiteral("%1 (*%2)|*%2|").arg(format->GetDescription(), ext);
        if (patterns)
            *patterns += QStringLiteral("*%1;").arg(ext);
    }
    return entries;
}

[[noreturn]] void raiseUnsupported() { throw ESpreadSheetFormatError(sErrorUnsupportedDocumentFormat.Text()); }

// Clears the workbook and runs the reader with history and change events held back.
void readInto(SpreadSheet& book, const SpreadSheetCustomFormat& format, const QByteArray& data)
{
    SpreadSheetHistory& history = book.History();
    book.BeginUpdate();
    history.Lock();
    book.SetState(sssReading, true);
    const auto finish = qScopeGuard([&] {
        book.SetState(sssReading, false);
        history.Unlock();
        if (book.SheetCount() == 0)
            book.AddSheet();
        book.EndUpdate();
    });
    // TODO: back the document up in the native binary format before clearing it and restore it when
    // the reader fails, once that format exists; until then every failure is raised before this point.
    book.ClearAll();
    format.ReadData(book, data);
}

} // namespace

void SpreadSheetFormatsRepository::Register(const SpreadSheetCustomFormat* format)
{
    auto& formats = registry();
    if (std::find(formats.begin(), formats.end(), format) == formats.end())
        formats.push_back(format);
}

void SpreadSheetFormatsRepository::Unregister(const SpreadSheetCustomFormat* format)
{
    auto& formats = registry();
    formats.erase(std::remove(formats.begin(), formats.end(), format), formats.end());
}

int SpreadSheetFormatsRepository::GetCount() { return static_cast<int>(registry().size()); }

const SpreadSheetCustomFormat* SpreadSheetFormatsRepository::GetItem(int index)
{
    return index >= 0 && index < GetCount() ? registry()[static_cast<size_t>(index)] : nullptr;
}

const SpreadSheetCustomFormat* SpreadSheetFormatsRepository::Find(const QString& fileName)
{
    const QString ext = extensionOf(fileName);
    if (ext.isEmpty())
        return nullptr;
    for (const SpreadSheetCustomFormat* format : registry())
        if (format->GetExt().compare(ext, Qt::CaseInsensitive) == 0)
            return format;
    return nullptr;
}

const SpreadSheetCustomFormat* SpreadSheetFormatsRepository::FindByContent(const QByteArray& data)
{
    for (const SpreadSheetCustomFormat* format : registry())
        if (format->HasReader() && format->CanCheckByContent() && format->CanReadFromStream(data))
            return format;
    return nullptr;
}

QString SpreadSheetFormatsRepository::GetOpenDialogFilter()
{
    QString patterns;
    const QString entries = filterEntries(&SpreadSheetCustomFormat::HasReader, &patterns);
    return sAllSupported.Text() + u'|' + patterns + u'|' + entries;
}

QString SpreadSheetFormatsRepository::GetSaveDialogFilter()
{
    return filterEntries(&SpreadSheetCustomFormat::HasWriter, nullptr);
}

void LoadFromFile(SpreadSheet& book, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ESpreadSheetError(file.errorString());
    const QByteArray data = file.readAll();
    file.close();

    const SpreadSheetCustomFormat* format = SpreadSheetFormatsRepository::Find(fileName);
    if (format && (!format->HasReader() || (format->CanCheckByContent() && !format->CanReadFromStream(data))))
        format = nullptr;
    if (!format)
        format = SpreadSheetFormatsRepository::FindByContent(data);
    if (!format)
        raiseUnsupported();
    readInto(book, *format, data);
    book.SetModified(false);
}

void SaveToFile(SpreadSheet& book, const QString& fileName)
{
    const SpreadSheetCustomFormat* format = SpreadSheetFormatsRepository::Find(fileName);
    if (!format || !format->HasWriter())
        raiseUnsupported();
    book.SetState(sssWriting, true);
    QByteArray data;
    try {
        data = format->WriteData(book);
    } catch (...) {
        book.SetState(sssWriting, false);
        throw;
    }
    book.SetState(sssWriting, false);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw ESpreadSheetError(file.errorString());
}

} // namespace quorvel
