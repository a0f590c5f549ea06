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

// Error literals; the shipped translation keeps them as they are.
inline constexpr ResourceString serNullError{ "serNullError", "#NULL!" };
inline constexpr ResourceString serDivZeroError{ "serDivZeroError", "#DIV/0!" };
inline constexpr ResourceString serValueError{ "serValueError", "#VALUE!" };
inline constexpr ResourceString serRefError{ "serRefError", "#REF!" };
inline constexpr ResourceString serNameError{ "serNameError", "#NAME?" };
inline constexpr ResourceString serNumError{ "serNumError", "#NUM!" };
inline constexpr ResourceString serNAError{ "serNAError", "#N/A" };

} // namespace quorvel
