#pragma once

#include "resources/ResourceString.h"

namespace quorvel {

// Texts of the workbook model.
inline constexpr ResourceString sDefaultSheetCaption{ "sDefaultSheetCaption", "Sheet%d" };
inline constexpr ResourceString sTrue{ "sTrue", "True" };
inline constexpr ResourceString sFalse{ "sFalse", "False" };
inline constexpr ResourceString sErrorCannotChangePartOfArray{ "sErrorCannotChangePartOfArray",
    "You cannot change part of an array." };
inline constexpr ResourceString sErrorInvalidCellReference{ "sErrorInvalidCellReference",
    "The \"%s\" cell reference is invalid" };
inline constexpr ResourceString sErrorInvalidColumnIndex{ "sErrorInvalidColumnIndex",
    "The \"%s\" column index is invalid" };
inline constexpr ResourceString sErrorCellAlreadyExists{ "sErrorCellAlreadyExists",
    "Cell with \"%d\" index already exists" };
inline constexpr ResourceString sErrorMaxOutlineLevel{ "sErrorMaxOutlineLevel",
    "The number of outline levels for both rows and columns cannot be more than 8." };
inline constexpr ResourceString sErrorUnsupportedDocumentFormat{ "sErrorUnsupportedDocumentFormat",
    "Unsupported document format" };
inline constexpr ResourceString sErrorCircularMessage{ "sErrorCircularMessage",
    "Warning\r\nOne or more formulas contain a circular reference and may not calculate correctly. Circular "
    "references are any references within a formula that depend upon the results of that same formula. For "
    "example, a cell that refers to its own value or a cell that refers to another cell which depends on the "
    "original cell's value both contain circular references.\r\n\r\nClick OK to create a circular reference "
    "and continue." };
inline constexpr ResourceString sErrorInvalidFormula{ "sErrorInvalidFormula", "The \"%s\" formula is invalid" };
inline constexpr ResourceString sCircularReferencePathPrefix{ "sCircularReferencePathPrefix", "The " };

// Error literals; the shipped translation keeps them as they are.
inline constexpr ResourceString serNullError{ "serNullError", "#NULL!" };
inline constexpr ResourceString serDivZeroError{ "serDivZeroError", "#DIV/0!" };
inline constexpr ResourceString serValueError{ "serValueError", "#VALUE!" };
inline constexpr ResourceString serRefError{ "serRefError", "#REF!" };
inline constexpr ResourceString serNameError{ "serNameError", "#NAME?" };
inline constexpr ResourceString serNumError{ "serNumError", "#NUM!" };
inline constexpr ResourceString serNAError{ "serNAError", "#N/A" };

} // namespace quorvel
