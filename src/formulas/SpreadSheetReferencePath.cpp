#include "formulas/SpreadSheetReferencePath.h"

#include "formulas/SpreadSheetReferences.h"

namespace quorvel {

SpreadSheetReferencePath::SpreadSheetReferencePath(int row, int column, SpreadSheetTableView* sheet)
    : row_(row)
    , column_(column)
    , sheet_(sheet)
{
}

SpreadSheetReferencePath::~SpreadSheetReferencePath()
{
    // Unlink iteratively so that a long chain cannot exhaust the stack.
    std::unique_ptr<SpreadSheetReferencePath> node = std::move(next_);
    while (node)
        node = std::move(node->next_);
}

void SpreadSheetReferencePath::Add(int row, int column, SpreadSheetTableView* sheet)
{
    SpreadSheetReferencePath* last = this;
    while (last->next_)
        last = last->next_.get();
    last->next_ = std::make_unique<SpreadSheetReferencePath>(row, column, sheet);
}

bool SpreadSheetReferencePath::Remove(int row, int column, SpreadSheetTableView* sheet)
{
    SpreadSheetReferencePath* beforeLast = nullptr;
    for (SpreadSheetReferencePath* node = this; node->next_; node = node->next_.get())
        beforeLast = node;
    if (beforeLast == nullptr)
        return false;
    const SpreadSheetReferencePath& last = *beforeLast->next_;
    if (last.row_ != row || last.column_ != column || last.sheet_ != sheet)
        return false;
    beforeLast->next_.reset();
    return true;
}

QString SpreadSheetReferencePath::ToString(const SpreadSheetViewCaptionFunction& captionOf) const
{
    QString result = captionOf ? SpreadSheetReferenceAsString::BuildViewReference(captionOf(sheet_)) : QString();
    result += SpreadSheetColumnReferences::NameByIndex(column_);
    result += QString::number(row_ + 1);
    return result;
}

} // namespace quorvel
