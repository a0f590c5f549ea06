#include "app/SpreadSheetActions.h"

#include <QAction>
#include <QKeySequence>

namespace quorvel {

namespace {

// An ampersand of a caption is text, not a mnemonic.
QString actionText(const ResourceString& caption) { return caption.Text().replace(u'&', QStringLiteral("&&")); }

} // namespace

const std::vector<SpreadSheetActionInfo>& SpreadSheetActionInfos()
{
    static const std::vector<SpreadSheetActionInfo> infos {
    { "SpreadSheetNewDocument", { "sSpreadSheetActionNewDocumentCaption", "New" }, "Ctrl+N" },
    { "SpreadSheetOpenDocument", { "sSpreadSheetActionOpenDocumentCaption", "Open" }, "Ctrl+O" },
    { "SpreadSheetSaveDocument", { "sSpreadSheetActionSaveDocumentCaption", "Save" }, "Ctrl+S" },
    { "SpreadSheetSaveDocumentAs", { "sSpreadSheetActionSaveDocumentAsCaption", "Save As" }, "" },
    { "SpreadSheetShowPrintForm", { "sSpreadSheetActionShowPrintFormCaption", "Print" }, "Ctrl+P" },
    { "SpreadSheetShowPrintPreviewForm", { "sSpreadSheetActionShowPrintPreviewFormCaption", "Print Preview" }, "" },
    { "SpreadSheetShowPageSetupForm", { "sSpreadSheetActionShowPageSetupFormCaption", "Page Setup" }, "" },
    { "SpreadSheetUndo", { "sSpreadSheetActionUndoCaption", "Undo" }, "Ctrl+Z" },
    { "SpreadSheetRedo", { "sSpreadSheetActionRedoCaption", "Redo" }, "Ctrl+Y" },
    { "SpreadSheetPasteSelection", { "sSpreadSheetActionPasteSelectionCaption", "Paste" }, "Ctrl+V" },
    { "SpreadSheetCutSelection", { "sSpreadSheetActionCutSelectionCaption", "Cut" }, "Ctrl+X" },
    { "SpreadSheetCopySelection", { "sSpreadSheetActionCopySelectionCaption", "Copy" }, "Ctrl+C" },
    { "SpreadSheetChangeFontName", { "sSpreadSheetActionChangeFontNameCaption", "Font" }, "" },
    { "SpreadSheetChangeFontSize", { "sSpreadSheetActionChangeFontSizeCaption", "Font Size" }, "" },
    { "SpreadSheetIncreaseFontSize", { "sSpreadSheetActionIncreaseFontSizeCaption", "Increase Font Size" }, "" },
    { "SpreadSheetDecreaseFontSize", { "sSpreadSheetActionDecreaseFontSizeCaption", "Decrease Font Size" }, "" },
    { "SpreadSheetToggleFontBold", { "sSpreadSheetActionToggleFontBoldCaption", "Bold" }, "" },
    { "SpreadSheetToggleFontItalic", { "sSpreadSheetActionToggleFontItalicCaption", "Italic" }, "" },
    { "SpreadSheetToggleFontUnderline", { "sSpreadSheetActionToggleFontUnderlineCaption", "Underline" }, "" },
    { "SpreadSheetToggleFontStrikeout", { "sSpreadSheetActionToggleFontStrikeoutCaption", "Strikethrough" }, "" },
    { "SpreadSheetBordersBottom", { "sSpreadSheetActionBordersBottomCaption", "Bottom Border" }, "" },
    { "SpreadSheetBordersTop", { "sSpreadSheetActionBordersTopCaption", "Top Border" }, "" },
    { "SpreadSheetBordersLeft", { "sSpreadSheetActionBordersLeftCaption", "Left Border" }, "" },
    { "SpreadSheetBordersRight", { "sSpreadSheetActionBordersRightCaption", "Right Border" }, "" },
    { "SpreadSheetBordersNone", { "sSpreadSheetActionBordersNoneCaption", "No Border" }, "" },
    { "SpreadSheetBordersAll", { "sSpreadSheetActionBordersAllCaption", "All Borders" }, "" },
    { "SpreadSheetBordersOutside", { "sSpreadSheetActionBordersOutsideCaption", "Outside Borders" }, "" },
    { "SpreadSheetBordersOutsideThick", { "sSpreadSheetActionBordersOutsideThickCaption", "Thick Box Border" }, "" },
    { "SpreadSheetBordersBottomDouble", { "sSpreadSheetActionBordersBottomDoubleCaption", "Bottom Double Border" }, "" },
    { "SpreadSheetBordersBottomThick", { "sSpreadSheetActionBordersBottomThickCaption", "Thick Bottom Border" }, "" },
    { "SpreadSheetBordersTopAndBottom", { "sSpreadSheetActionBordersTopAndBottomCaption", "Top and Bottom Border" }, "" },
    { "SpreadSheetBordersTopAndBottomThick", { "sSpreadSheetActionBordersTopAndBottomThickCaption", "Top and Thick Bottom Border" }, "" },
    { "SpreadSheetBordersTopAndBottomDouble", { "sSpreadSheetActionBordersTopAndBottomDoubleCaption", "Top and Double Bottom Border" }, "" },
    { "SpreadSheetBordersMore", { "sSpreadSheetActionBordersMoreCaption", "More Borders..." }, "" },
    { "SpreadSheetChangeFillColor", { "sSpreadSheetActionChangeFillColorCaption", "Fill Color" }, "" },
    { "SpreadSheetChangeFontColor", { "sSpreadSheetActionChangeFontColorCaption", "Font Color" }, "" },
    { "SpreadSheetAlignVerticalTop", { "sSpreadSheetActionAlignVerticalTopCaption", "Top Align" }, "" },
    { "SpreadSheetAlignVerticalCenter", { "sSpreadSheetActionAlignVerticalCenterCaption", "Middle Align" }, "" },
    { "SpreadSheetAlignVerticalBottom", { "sSpreadSheetActionAlignVerticalBottomCaption", "Bottom Align" }, "" },
    { "SpreadSheetAlignHorizontalLeft", { "sSpreadSheetActionAlignHorizontalLeftCaption", "Align Text Left" }, "" },
    { "SpreadSheetAlignHorizontalCenter", { "sSpreadSheetActionAlignHorizontalCenterCaption", "Center" }, "" },
    { "SpreadSheetAlignHorizontalRight", { "sSpreadSheetActionAlignHorizontalRightCaption", "Align Text Right" }, "" },
    { "SpreadSheetTextIndentDecrease", { "sSpreadSheetActionTextIndentDecreaseCaption", "Decrease Indent" }, "" },
    { "SpreadSheetTextIndentIncrease", { "sSpreadSheetActionTextIndentIncreaseCaption", "Increase Indent" }, "" },
    { "SpreadSheetTextWrap", { "sSpreadSheetActionTextWrapCaption", "Wrap Text" }, "" },
    { "SpreadSheetMergeCellsAndCenter", { "sSpreadSheetActionMergeCellsAndCenterCaption", "Merge & Center" }, "" },
    { "SpreadSheetMergeCellsAcross", { "sSpreadSheetActionMergeCellsAcrossCaption", "Merge Across" }, "" },
    { "SpreadSheetMergeCells", { "sSpreadSheetActionMergeCellsCaption", "Merge Cells" }, "" },
    { "SpreadSheetUnmergeCells", { "sSpreadSheetActionUnmergeCellsCaption", "Unmerge Cells" }, "" },
    { "SpreadSheetInsertRows", { "sSpreadSheetActionInsertRowsCaption", "Insert Sheet Rows" }, "" },
    { "SpreadSheetInsertColumns", { "sSpreadSheetActionInsertColumnsCaption", "Insert Sheet Columns" }, "" },
    { "SpreadSheetInsertSheet", { "sSpreadSheetActionInsertSheetCaption", "Insert Sheet" }, "" },
    { "SpreadSheetDeleteRows", { "sSpreadSheetActionDeleteRowsCaption", "Delete Sheet Rows" }, "" },
    { "SpreadSheetDeleteColumns", { "sSpreadSheetActionDeleteColumnsCaption", "Delete Sheet Columns" }, "" },
    { "SpreadSheetDeleteSheet", { "sSpreadSheetActionDeleteSheetCaption", "Delete Sheet" }, "" },
    { "SpreadSheetAutoFitRowHeight", { "sSpreadSheetActionAutoFitRowHeightCaption", "AutoFit Row Height" }, "" },
    { "SpreadSheetAutoFitColumnWidth", { "sSpreadSheetActionAutoFitColumnWidthCaption", "AutoFit Column Width" }, "" },
    { "SpreadSheetHideRows", { "sSpreadSheetActionHideRowsCaption", "Hide Rows" }, "" },
    { "SpreadSheetHideColumns", { "sSpreadSheetActionHideColumnsCaption", "Hide Columns" }, "" },
    { "SpreadSheetHideSheet", { "sSpreadSheetActionHideSheetCaption", "Hide Sheet" }, "" },
    { "SpreadSheetUnhideRows", { "sSpreadSheetActionUnhideRowsCaption", "Unhide Rows" }, "" },
    { "SpreadSheetUnhideColumns", { "sSpreadSheetActionUnhideColumnsCaption", "Unhide Columns" }, "" },
    { "SpreadSheetUnhideSheet", { "sSpreadSheetActionUnhideSheetCaption", "Unhide Sheet..." }, "" },
    { "SpreadSheetClearAll", { "sSpreadSheetActionClearAllCaption", "Clear All" }, "" },
    { "SpreadSheetClearFormats", { "sSpreadSheetActionClearFormatsCaption", "Clear Formats" }, "" },
    { "SpreadSheetClearContents", { "sSpreadSheetActionClearContentsCaption", "Clear Contents" }, "" },
    { "SpreadSheetFindAndReplace", { "sSpreadSheetActionFindAndReplaceCaption", "Find & Replace" }, "Ctrl+F" },
    { "SpreadSheetConditionalFormattingTopBottomRulesGallery", { "sSpreadSheetActionConditionalFormattingTopBottomRulesGalleryCaption", "Top/Bottom Rules" }, "" },
    { "SpreadSheetConditionalFormattingDataBarsGallery", { "sSpreadSheetActionConditionalFormattingDataBarsGalleryCaption", "Data Bars" }, "" },
    { "SpreadSheetConditionalFormattingColorScalesGallery", { "sSpreadSheetActionConditionalFormattingColorScalesGalleryCaption", "Color Scales" }, "" },
    { "SpreadSheetConditionalFormattingIconSetsGallery", { "sSpreadSheetActionConditionalFormattingIconSetsGalleryCaption", "Icon Sets" }, "" },
    { "SpreadSheetConditionalFormattingMoreRules", { "sSpreadSheetActionConditionalFormattingMoreRulesCaption", "More Rules..." }, "" },
    { "SpreadSheetConditionalFormattingNewRule", { "sSpreadSheetActionConditionalFormattingNewRuleCaption", "New Rule..." }, "" },
    { "SpreadSheetConditionalFormattingClearRulesFromSelectedCells", { "sSpreadSheetActionConditionalFormattingClearRulesFromSelectedCellsCaption", "Clear Rules from Selected Cells" }, "" },
    { "SpreadSheetConditionalFormattingClearRulesFromEntireSheet", { "sSpreadSheetActionConditionalFormattingClearRulesFromEntireSheetCaption", "Clear Rules from Entire Sheet" }, "" },
    { "SpreadSheetShowConditionalFormattingRulesManager", { "sSpreadSheetActionShowConditionalFormattingRulesManagerCaption", "Manage Rules..." }, "" },
    { "SpreadSheetInsertPicture", { "sSpreadSheetActionInsertPictureCaption", "Picture" }, "" },
    { "SpreadSheetShowHyperlinkEditor", { "sSpreadSheetActionShowHyperlinkEditorCaption", "Hyperlink" }, "" },
    { "SpreadSheetPageMarginsGallery", { "sSpreadSheetActionPageMarginsGalleryCaption", "Margins" }, "" },
    { "SpreadSheetMorePageMargins", { "sSpreadSheetActionMorePageMarginsCaption", "Custom Margins..." }, "" },
    { "SpreadSheetPageOrientationGallery", { "sSpreadSheetActionPageOrientationGalleryCaption", "Orientation" }, "" },
    { "SpreadSheetPaperSizeGallery", { "sSpreadSheetActionPaperSizeGalleryCaption", "Size" }, "" },
    { "SpreadSheetMorePaperSizes", { "sSpreadSheetActionMorePaperSizesCaption", "More Paper Sizes..." }, "" },
    { "SpreadSheetSetPrintArea", { "sSpreadSheetActionSetPrintAreaCaption", "Set Print Area" }, "" },
    { "SpreadSheetClearPrintArea", { "sSpreadSheetActionClearPrintAreaCaption", "Clear Print Area" }, "" },
    { "SpreadSheetInsertPageBreak", { "sSpreadSheetActionInsertPageBreakCaption", "Insert Page Break" }, "" },
    { "SpreadSheetRemovePageBreak", { "sSpreadSheetActionRemovePageBreakCaption", "Remove Page Break" }, "" },
    { "SpreadSheetResetAllPageBreaks", { "sSpreadSheetActionResetAllPageBreaksCaption", "Reset All Page Breaks" }, "" },
    { "SpreadSheetPrintTitles", { "sSpreadSheetActionPrintTitlesCaption", "Print Titles" }, "" },
    { "SpreadSheetAutoSumGallery", { "sSpreadSheetActionAutoSumGalleryCaption", "AutoSum" }, "" },
    { "SpreadSheetFinancialFormulasGallery", { "sSpreadSheetActionFinancialFormulasGalleryCaption", "Financial" }, "" },
    { "SpreadSheetLogicalFormulasGallery", { "sSpreadSheetActionLogicalFormulasGalleryCaption", "Logical" }, "" },
    { "SpreadSheetTextFormulasGallery", { "sSpreadSheetActionTextFormulasGalleryCaption", "Text" }, "" },
    { "SpreadSheetDateAndTimeFormulasGallery", { "sSpreadSheetActionDateAndTimeFormulasGalleryCaption", "Date & Time" }, "" },
    { "SpreadSheetLookupAndReferenceFormulasGallery", { "sSpreadSheetActionLookupAndReferenceFormulasGalleryCaption", "Lookup & Reference" }, "" },
    { "SpreadSheetMathAndTrigFormulasGallery", { "sSpreadSheetActionMathAndTrigFormulasGalleryCaption", "Math & Trig" }, "" },
    { "SpreadSheetStatisticalFormulasGallery", { "sSpreadSheetActionStatisticalFormulasGalleryCaption", "Statistical" }, "" },
    { "SpreadSheetInformationFormulasGallery", { "sSpreadSheetActionInformationFormulasGalleryCaption", "Information" }, "" },
    { "SpreadSheetCompatibilityFormulasGallery", { "sSpreadSheetActionCompatibilityFormulasGalleryCaption", "Compatibility" }, "" },
    { "SpreadSheetSortAscending", { "sSpreadSheetActionSortAscendingCaption", "Sort A to Z" }, "" },
    { "SpreadSheetSortDescending", { "sSpreadSheetActionSortDescendingCaption", "Sort Z to A" }, "" },
    { "SpreadSheetGroupColumns", { "sSpreadSheetActionGroupColumnsCaption", "Group Columns" }, "" },
    { "SpreadSheetGroupRows", { "sSpreadSheetActionGroupRowsCaption", "Group Rows" }, "" },
    { "SpreadSheetUngroupColumns", { "sSpreadSheetActionUngroupColumnsCaption", "Ungroup Columns" }, "" },
    { "SpreadSheetUngroupRows", { "sSpreadSheetActionUngroupRowsCaption", "Ungroup Rows" }, "" },
    { "SpreadSheetNewComment", { "sSpreadSheetActionNewCommentCaption", "New Comment" }, "" },
    { "SpreadSheetEditComment", { "sSpreadSheetActionEditCommentCaption", "Edit Comment" }, "" },
    { "SpreadSheetDeleteComments", { "sSpreadSheetActionDeleteCommentsCaption", "Delete" }, "" },
    { "SpreadSheetPreviousComment", { "sSpreadSheetActionPreviousCommentCaption", "Previous" }, "" },
    { "SpreadSheetNextComment", { "sSpreadSheetActionNextCommentCaption", "Next" }, "" },
    { "SpreadSheetShowHideComments", { "sSpreadSheetActionShowHideCommentsCaption", "Show All Comments" }, "" },
    { "SpreadSheetProtectSheet", { "sSpreadSheetActionProtectSheetCaption", "Protect Sheet" }, "" },
    { "SpreadSheetProtectWorkbook", { "sSpreadSheetActionProtectWorkbookCaption", "Protect Workbook" }, "" },
    { "SpreadSheetZoomOut", { "sSpreadSheetActionZoomOutCaption", "Zoom Out" }, "" },
    { "SpreadSheetZoomIn", { "sSpreadSheetActionZoomInCaption", "Zoom In" }, "" },
    { "SpreadSheetZoomDefault", { "sSpreadSheetActionZoomDefaultCaption", "100%" }, "" },
    { "SpreadSheetFreezePanes", { "sSpreadSheetActionFreezePanesCaption", "Freeze Panes" }, "" },
    { "SpreadSheetUnfreezePanes", { "sSpreadSheetActionUnfreezePanesCaption", "Unfreeze Panes" }, "" },
    { "SpreadSheetFreezeTopRow", { "sSpreadSheetActionFreezeTopRowCaption", "Freeze Top Row" }, "" },
    { "SpreadSheetFreezeFirstColumn", { "sSpreadSheetActionFreezeFirstColumnCaption", "Freeze First Column" }, "" },
    };
    return infos;
}

SpreadSheetActionList::SpreadSheetActionList(QObject* owner)
{
    for (const SpreadSheetActionInfo& info : SpreadSheetActionInfos()) {
        auto* action = new QAction(actionText(info.caption), owner);
        action->setObjectName(QString::fromLatin1(info.name));
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        action->setEnabled(false);
        actions_.insert(action->objectName(), action);
    }
}

QAction* SpreadSheetActionList::Action(const QString& name) const
{
    QAction* action = actions_.value(name);
    Q_ASSERT_X(action, "SpreadSheetActionList::Action", qPrintable(name));
    return action;
}

void SpreadSheetActionList::Retranslate()
{
    for (const SpreadSheetActionInfo& info : SpreadSheetActionInfos())
        actions_.value(QString::fromLatin1(info.name))->setText(actionText(info.caption));
}

} // namespace quorvel
