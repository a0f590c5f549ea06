#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace quorvel {

class ISpreadSheetViewCaption;
class SpreadSheetTableView;

/// Tells the text form how to see a sheet's caption; the sheet itself stays opaque here.
using SpreadSheetViewCaptionFunction = std::function<const ISpreadSheetViewCaption*(const SpreadSheetTableView*)>;

/// The chain of cells an evaluation went through, recorded to report circular references.
/// Each node is itself a path; the head owns the rest of the chain.
class SpreadSheetReferencePath {
public:
    SpreadSheetReferencePath(int row, int column, SpreadSheetTableView* sheet);
    ~SpreadSheetReferencePath();
    SpreadSheetReferencePath(const SpreadSheetReferencePath&) = delete;
    SpreadSheetReferencePath& operator=(const SpreadSheetReferencePath&) = delete;

    int Row() const { return row_; }
    int Column() const { return column_; }
    SpreadSheetTableView* Sheet() const { return sheet_; }
    const SpreadSheetReferencePath* Next() const { return next_.get(); }

    /// Appends a node at the end of the chain.
    void Add(int row, int column, SpreadSheetTableView* sheet);
    /// Frees the last node when it is this cell; the head itself is never removed.
    bool Remove(int row, int column, SpreadSheetTableView* sheet);
    /// This node's cell as "Sheet1!B3"; without `captionOf` (or a caption) the sheet prefix is left out.
    QString ToString(const SpreadSheetViewCaptionFunction& captionOf = {}) const;

private:
    int row_;
    int column_;
    SpreadSheetTableView* sheet_;
    std::unique_ptr<SpreadSheetReferencePath> next_;
};

} // namespace quorvel
