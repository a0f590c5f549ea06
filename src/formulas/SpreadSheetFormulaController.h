#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCell;
class SpreadSheetCustomFormula;
class SpreadSheetFormatSettings;
class SpreadSheetFormulaResult;
class SpreadSheetReferencePath;
class SpreadSheetTableView;

/// Iteration counts beyond this (also from files) are clamped.
inline constexpr int kMaxIterationCount = 32767;
/// How many formula evaluations may nest inside one another before the pass evaluates the
/// innermost one from the top instead; keeps long chains of formulas off the native stack.
inline constexpr int kMaxEvaluationDepth = 400;

enum class SpreadSheetFormulaUpdateReferencesMode : std::uint8_t {
    urmInsert,
    urmDelete,
};
using enum SpreadSheetFormulaUpdateReferencesMode;

/// Owns the cell formulas of a workbook and evaluates them. A calculation pass clears every
/// cached result and asks each formula for its value in list order; a formula that reads a formula
/// cell evaluates it on the spot, so each formula is evaluated once per pass, dependencies first.
/// Re-entering a formula that is still being evaluated is how a cycle shows itself.
class SpreadSheetFormulaController {
public:
    explicit SpreadSheetFormulaController(SpreadSheet* owner);
    ~SpreadSheetFormulaController();
    SpreadSheetFormulaController(const SpreadSheetFormulaController&) = delete;
    SpreadSheetFormulaController& operator=(const SpreadSheetFormulaController&) = delete;

    SpreadSheet* Owner() const { return owner_; }
    const SpreadSheetFormatSettings& FormatSettings() const;

    void Add(SpreadSheetCustomFormula* formula);
    /// Takes a formula out of the list and out of its sheet's array formulas.
    void Remove(SpreadSheetCustomFormula* formula);
    int Count() const { return static_cast<int>(formulas_.size()) - holeCount_; }

    /// One calculation pass over every formula.
    void Calculate();
    /// Evaluates one formula that has no result yet, leaving every other result as it is: a formula
    /// typed while automatic calculation is off shows its value, its dependants wait for a pass.
    void CalculateFormula(SpreadSheetCustomFormula* formula);
    bool CalculationInProcess() const { return calculationInProcess_; }

    /// Value and error of a cell as formulas read it: a formula cell gives its formula's current
    /// value, a cell inside an array formula the matching item of that formula's result.
    void ReadCellValue(
        SpreadSheetTableView* view, int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);
    /// The same for a cell at hand (enumerations walk the cells themselves).
    void ReadCellValue(const SpreadSheetCell* cell, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);

    // Nesting of evaluations, kept by the formulas.
    int EvaluationDepth() const { return evaluationDepth_; }
    void EnterEvaluation() { ++evaluationDepth_; }
    void LeaveEvaluation() { --evaluationDepth_; }
    /// True for a formula waiting to be finished after its dependencies were evaluated from the top.
    bool IsDeferred(const SpreadSheetCustomFormula* formula) const;
    /// Gives up the current descent because `formula` lies too deep: every evaluation still on the
    /// stack returns at once, keeping nothing, and the pass evaluates `formula` from the top before
    /// trying again.
    void Abandon(SpreadSheetCustomFormula* formula);
    bool Abandoned() const { return abandonedAt_ != nullptr; }
    /// What evaluations return while a descent is being given up: 0, never cached.
    SpreadSheetFormulaResult* AbandonedResult() const { return ScalarResult(false); }
    /// The result formulas other than array formulas answer with: 0, marked circular or not.
    SpreadSheetFormulaResult* ScalarResult(bool circular) const { return scalarResults_[circular ? 1 : 0].get(); }

    // Circular references.
    bool CircularReference() const { return circularReference_; }
    void SetCircularReference(bool value) { circularReference_ = value; }
    int CircularReferencePathCount() const { return static_cast<int>(circularReferencePaths_.size()); }
    /// True once the warning has been given for the cycles that exist now.
    bool HasCircularReferences() const { return hasCircularReferences_; }
    /// Updates the warning state after a pass; true when cycles have just appeared and the warning
    /// is due.
    bool CheckCircularReferences();
    /// One line per cycle found in the last pass: "The A1 -> B1".
    QString GetCircularReferencePathsAsString() const;

    /// Adjusts every formula to cells inserted into or deleted from `area` of `sheet`, the cells
    /// after the area shifting down or up (`vertical`) or right or left; an area spanning whole
    /// rows (columns) shifts whole rows (columns). Called before the cells move. A deletion records
    /// each formula whose text changed in the history; undoing an insertion deletes the band again,
    /// so an insertion records nothing.
    void UpdateReferences(SpreadSheetTableView* sheet, const SpreadSheetArea& area,
        SpreadSheetFormulaUpdateReferencesMode mode, bool vertical);

    // Array formulas.
    void AddArrayFormula(SpreadSheetCustomFormula* formula);
    /// 0: no array formula covers the cell; 1: the cell is an array formula's anchor; 2: it lies
    /// inside one's area. The formula is returned in `formula` when asked for.
    int FindArrayFormula(
        const SpreadSheetTableView* view, int row, int column, SpreadSheetCustomFormula** formula = nullptr) const;
    /// Visits the array formulas of a sheet until `proc` returns false.
    void EnumArrayFormulas(
        const SpreadSheetTableView* view, const std::function<bool(SpreadSheetCustomFormula*)>& proc) const;
    /// True when every array formula of the sheet lies outside `area` or wholly inside it; with
    /// `arrayMode` a one-cell area always passes.
    bool CanModifyDataInArrayFormulaArea(const SpreadSheetTableView* view, const SpreadSheetArea& area, bool arrayMode) const;
    /// Every formula takes its anchor and array area again (after cells moved).
    void UpdateAnchorsAndBounds();
    /// True while an array formula writes its results into the cells it covers.
    bool UpdatingSlaveCells() const { return updatingSlaveCells_; }
    void WriteArrayFormulaCells(SpreadSheetCustomFormula* formula);

private:
    void Compact();
    /// Clean-up after every pass, also one left by an exception.
    void EndPass();
    void EvaluateTopLevel(SpreadSheetCustomFormula* formula);
    void EvaluateRecordingCycles(SpreadSheetCustomFormula* formula);
    /// True (with the value 0 and a cycle noted) when reads of formula results nest beyond any
    /// real chain; the caller has counted its own read in `readDepth_`.
    bool ReadTooDeep(SpreadSheetVariant& value);
    void ReadCell(const SpreadSheetCell* cell, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error);
    /// False (with the value 0 and the cycle noted) when `formula` is read while it is being built;
    /// otherwise `partial` is its partial result, or null when it is not being built.
    bool ReadsItself(SpreadSheetCustomFormula* formula, SpreadSheetVariant& value, SpreadSheetFormulaResult*& partial);

    SpreadSheet* owner_;
    // In the order formulas were attached; a removed formula leaves a null hole until the next
    // compaction, so that freeing many formulas stays linear.
    std::vector<SpreadSheetCustomFormula*> formulas_;
    int holeCount_ = 0;
    std::map<const SpreadSheetTableView*, std::vector<SpreadSheetCustomFormula*>> arrayFormulas_;
    std::vector<SpreadSheetCustomFormula*> deferred_;
    SpreadSheetCustomFormula* abandonedAt_ = nullptr;
    std::unique_ptr<SpreadSheetFormulaResult> scalarResults_[2];
    std::unique_ptr<SpreadSheetReferencePath> circularPath_;
    std::vector<std::unique_ptr<SpreadSheetReferencePath>> circularReferencePaths_;
    int evaluationDepth_ = 0;
    int readDepth_ = 0;
    bool calculationInProcess_ = false;
    bool circularReference_ = false;
    bool hasCircularReferences_ = false;
    bool updatingSlaveCells_ = false;
};

} // namespace quorvel
