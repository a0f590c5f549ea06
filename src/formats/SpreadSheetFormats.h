#pragma once

#include "resources/ResourceString.h"

#include <QByteArray>
#include <QString>

namespace quorvel {

class SpreadSheet;

inline constexpr ResourceString sAllSupported{ "sAllSupported", "All Supported" };

/// A document format: its extension, description, content test, reader and writer. The registry
/// holds formats that live for the whole process.
class SpreadSheetCustomFormat {
public:
    virtual ~SpreadSheetCustomFormat() = default;

    virtual bool CanCheckByContent() const { return true; }
    virtual bool CanReadFromStream(const QByteArray& /*data*/) const { return false; }
    virtual QString GetDescription() const { return QString(); }
    /// With the leading dot: ".xlsx".
    virtual QString GetExt() const = 0;
    virtual bool HasReader() const { return false; }
    virtual bool HasWriter() const { return false; }
    /// Fills a cleared workbook from the whole file content; damage raises ESpreadSheetReaderError.
    virtual void ReadData(SpreadSheet& /*book*/, const QByteArray& /*data*/) const { }
    /// Returns the whole file content.
    virtual QByteArray WriteData(SpreadSheet& /*book*/) const { return QByteArray(); }
};

/// The ordered list of registered formats; the order decides extension lookup, content detection
/// and the order of dialog filters.
class SpreadSheetFormatsRepository {
public:
    static void Register(const SpreadSheetCustomFormat* format);
    static void Unregister(const SpreadSheetCustomFormat* format);
    static int GetCount();
    static const SpreadSheetCustomFormat* GetItem(int index);
    /// The first format whose extension equals the file name's (ignoring case), or nullptr.
    static const SpreadSheetCustomFormat* Find(const QString& fileName);
    /// The first format that recognises the content, or nullptr.
    static const SpreadSheetCustomFormat* FindByContent(const QByteArray& data);
    /// "All Supported|*.a;*.b;|Desc A (*.a)|*.a|…": entries of the formats that read.
    static QString GetOpenDialogFilter();
    /// "Desc A (*.a)|*.a|…": entries of the formats that write.
    static QString GetSaveDialogFilter();
};

/// Reads a file into the workbook, choosing the format by extension, else by content. Raises
/// ESpreadSheetFormatError (sErrorUnsupportedDocumentFormat) when no format fits, ESpreadSheetError
/// when the file cannot be read; the workbook is left as it was in both cases.
void LoadFromFile(SpreadSheet& book, const QString& fileName);
/// Writes the workbook in the format of the file's extension. The content goes to a temporary file
/// beside the target that replaces it only when complete, so a failed save leaves the old file.
void SaveToFile(SpreadSheet& book, const QString& fileName);

} // namespace quorvel
