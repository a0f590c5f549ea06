#pragma once

#include <cstdint>

namespace quorvel {

/// Grid limits shared by every subsystem; indexes are 0-based.
inline constexpr int kMaxRowIndex = 1048575;
inline constexpr int kMaxColumnIndex = 16383;
inline constexpr int kMaxSheetCaptionLength = 31;
inline constexpr int kMaxOutlineLevelCount = 8;

enum class SpreadSheetCellDataType : std::uint8_t {
    cdtBlank = 0,
    cdtBoolean = 1,
    cdtError = 2,
    cdtCurrency = 3,
    cdtFloat = 4,
    cdtDateTime = 5,
    cdtInteger = 6,
    cdtString = 7,
    cdtFormula = 8,
};
using enum SpreadSheetCellDataType;

enum class SpreadSheetFormulaErrorCode : std::uint8_t {
    ecNone = 0,
    ecNull = 1,
    ecDivByZero = 2,
    ecValue = 3,
    ecRefErr = 4,
    ecName = 5,
    ecNUM = 6,
    ecNA = 7,
};
using enum SpreadSheetFormulaErrorCode;

/// Change bits collected by sheets and the workbook until the outermost EndUpdate.
enum SpreadSheetChange : unsigned {
    sscData = 1,
    sscLayout = 2,
    sscZoom = 4,
    sscStyle = 8,
    sscDimension = 16,
    sscOptionsPrint = 32,
    sscModified = 64,
    sscBiDiMode = 128,
};
using SpreadSheetChanges = unsigned;

enum SpreadSheetState : unsigned {
    sssReading = 1,
    sssReadingCells = 2,
    sssReadingFromClipboard = 4,
    sssWriting = 8,
    sssExporting = 16,
    sssBiDiModeChanging = 32,
    sssDestroying = 64,
};
using SpreadSheetStates = unsigned;

enum class SpreadSheetDateTimeSystem : std::uint8_t { dts1900, dts1904, dtsDefault };
using enum SpreadSheetDateTimeSystem;

/// Three-state option: a sheet value that defers to the workbook's.
enum class DefaultBoolean : std::uint8_t { bFalse, bTrue, bDefault };
using enum DefaultBoolean;

enum class SpreadSheetEnterKeyNavigation : std::uint8_t { eknDefault, eknSkipLockedCells };
using enum SpreadSheetEnterKeyNavigation;

/// Inclusive rectangle: left/right are columns, top/bottom rows.
struct SpreadSheetArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int row, int column) const
    {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool operator==(const SpreadSheetArea&) const = default;
};

} // namespace quorvel
