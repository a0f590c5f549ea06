#pragma once

#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableView.h"
#include "resources/ResourceString.h"

#include <memory>

namespace quorvel::test {

/// A workbook in a fixed locale with the English texts, independent of the machine's settings.
inline std::unique_ptr<SpreadSheet> MakeBook(const QString& locale = QStringLiteral("en_US"))
{
    Localizer::Reset();
    return std::make_unique<SpreadSheet>(locale);
}

/// As MakeBook, with the history on (the workbook's default is off).
inline std::unique_ptr<SpreadSheet> MakeBookWithHistory()
{
    auto book = MakeBook();
    book->SetHistoryEnabled(true);
    return book;
}

inline SpreadSheetCell* Type(SpreadSheet& book, int row, int column, const QString& text)
{
    SpreadSheetCell* cell = book.ActiveSheet()->CreateCell(row, column);
    cell->SetText(text, true);
    return cell;
}

} // namespace quorvel::test
