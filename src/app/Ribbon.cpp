#include "app/Ribbon.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

#include <vector>

namespace quorvel {

namespace {

// An entry of a group: a command, or a drop-down menu (with a caption) holding entries.
struct RibbonItem {
    const char* action;
    const char* menu = nullptr;
    std::vector<RibbonItem> items {};
};

struct RibbonGroup {
    const char* caption;
    std::vector<RibbonItem> items;
};

struct RibbonTab {
    const char* caption;
    std::vector<RibbonGroup> groups;
};

RibbonItem menu(const char* caption, std::vector<RibbonItem> items) { return { nullptr, caption, std::move(items) }; }

// The File tab's commands live in the backstage view, so the table starts with Home.
const std::vector<RibbonTab>& ribbonLayout()
{
    static const std::vector<RibbonTab> tabs {
        { "Главная",
            {
                { "Отмена", { { "SpreadSheetUndo" }, { "SpreadSheetRedo" } } },
                { "Буфер обмена",
                    { { "SpreadSheetPasteSelection" }, { "SpreadSheetCutSelection" }, { "SpreadSheetCopySelection" } } },
                { "Шрифт",
                    { { "SpreadSheetChangeFontName" }, { "SpreadSheetChangeFontSize" }, { "SpreadSheetIncreaseFontSize" },
                        { "SpreadSheetDecreaseFontSize" }, { "SpreadSheetToggleFontBold" },
                        { "SpreadSheetToggleFontItalic" }, { "SpreadSheetToggleFontUnderline" },
                        { "SpreadSheetToggleFontStrikeout" },
                        menu("Границы",
                            { { "SpreadSheetBordersBottom" }, { "SpreadSheetBordersTop" }, { "SpreadSheetBordersLeft" },
                                { "SpreadSheetBordersRight" }, { "SpreadSheetBordersNone" }, { "SpreadSheetBordersAll" },
                                { "SpreadSheetBordersOutside" }, { "SpreadSheetBordersOutsideThick" },
                                { "SpreadSheetBordersBottomDouble" }, { "SpreadSheetBordersBottomThick" },
                                { "SpreadSheetBordersTopAndBottom" }, { "SpreadSheetBordersTopAndBottomThick" },
                                { "SpreadSheetBordersTopAndBottomDouble" }, { "SpreadSheetBordersMore" } }),
                        { "SpreadSheetChangeFillColor" }, { "SpreadSheetChangeFontColor" } } },
                { "Выравнивание",
                    { { "SpreadSheetAlignVerticalTop" }, { "SpreadSheetAlignVerticalCenter" },
                        { "SpreadSheetAlignVerticalBottom" }, { "SpreadSheetAlignHorizontalLeft" },
                        { "SpreadSheetAlignHorizontalCenter" }, { "SpreadSheetAlignHorizontalRight" },
                        { "SpreadSheetTextIndentDecrease" }, { "SpreadSheetTextIndentIncrease" },
                        { "SpreadSheetTextWrap" },
                        menu("Объединить ячейки",
                            { { "SpreadSheetMergeCellsAndCenter" }, { "SpreadSheetMergeCellsAcross" },
                                { "SpreadSheetMergeCells" }, { "SpreadSheetUnmergeCells" } }) } },
                { "Ячейки",
                    { menu("Вставить",
                          { { "SpreadSheetInsertRows" }, { "SpreadSheetInsertColumns" }, { "SpreadSheetInsertSheet" } }),
                        menu("Удалить",
                            { { "SpreadSheetDeleteRows" }, { "SpreadSheetDeleteColumns" }, { "SpreadSheetDeleteSheet" } }),
                        menu("Форматирование",
                            { { "SpreadSheetAutoFitRowHeight" }, { "SpreadSheetAutoFitColumnWidth" },
                                menu("Показать или Скрыть",
                                    { { "SpreadSheetHideRows" }, { "SpreadSheetHideColumns" }, { "SpreadSheetHideSheet" },
                                        { "SpreadSheetUnhideRows" }, { "SpreadSheetUnhideColumns" },
                                        { "SpreadSheetUnhideSheet" } }) }) } },
                { "Редактирование",
                    { menu("Очистить",
                          { { "SpreadSheetClearAll" }, { "SpreadSheetClearFormats" }, { "SpreadSheetClearContents" } }),
                        { "SpreadSheetFindAndReplace" } } },
                { "Таблицы",
                    { menu("Условное форматирование",
                        { { "SpreadSheetConditionalFormattingTopBottomRulesGallery" },
                            { "SpreadSheetConditionalFormattingDataBarsGallery" },
                            { "SpreadSheetConditionalFormattingColorScalesGallery" },
                            { "SpreadSheetConditionalFormattingIconSetsGallery" },
                            { "SpreadSheetConditionalFormattingMoreRules" },
                            { "SpreadSheetConditionalFormattingNewRule" },
                            menu("Очистить правила",
                                { { "SpreadSheetConditionalFormattingClearRulesFromSelectedCells" },
                                    { "SpreadSheetConditionalFormattingClearRulesFromEntireSheet" } }),
                            { "SpreadSheetShowConditionalFormattingRulesManager" } }) } },
            } },
        { "Вставка",
            { { "Рисунки", { { "SpreadSheetInsertPicture" } } },
                { "Ссылки", { { "SpreadSheetShowHyperlinkEditor" } } } } },
        { "Разметка страницы",
            { { "Параметры страницы",
                { { "SpreadSheetPageMarginsGallery" }, { "SpreadSheetPageOrientationGallery" },
                    { "SpreadSheetPaperSizeGallery" },
                    menu("Область печати", { { "SpreadSheetSetPrintArea" }, { "SpreadSheetClearPrintArea" } }),
                    menu("Разрывы",
                        { { "SpreadSheetInsertPageBreak" }, { "SpreadSheetRemovePageBreak" },
                            { "SpreadSheetResetAllPageBreaks" } }),
                    { "SpreadSheetPrintTitles" } } } } },
        { "Формулы",
            { { "Библиотека функций",
                { { "SpreadSheetAutoSumGallery" }, { "SpreadSheetFinancialFormulasGallery" },
                    { "SpreadSheetLogicalFormulasGallery" }, { "SpreadSheetTextFormulasGallery" },
                    { "SpreadSheetDateAndTimeFormulasGallery" }, { "SpreadSheetLookupAndReferenceFormulasGallery" },
                    { "SpreadSheetMathAndTrigFormulasGallery" },
                    menu("Другие",
                        { { "SpreadSheetStatisticalFormulasGallery" }, { "SpreadSheetInformationFormulasGallery" },
                            { "SpreadSheetCompatibilityFormulasGallery" } }) } } } },
        { "Данные",
            { { "Сортировка", { { "SpreadSheetSortAscending" }, { "SpreadSheetSortDescending" } } },
                { "Структура",
                    { menu("Группировать", { { "SpreadSheetGroupColumns" }, { "SpreadSheetGroupRows" } }),
                        menu("Разруппировать", { { "SpreadSheetUngroupColumns" }, { "SpreadSheetUngroupRows" } }) } } } },
        { "Рецензирование",
            { { "Комментарии",
                  { { "SpreadSheetNewComment" }, { "SpreadSheetEditComment" }, { "SpreadSheetDeleteComments" },
                      { "SpreadSheetPreviousComment" }, { "SpreadSheetNextComment" },
                      { "SpreadSheetShowHideComments" } } },
                { "Защита", { { "SpreadSheetProtectSheet" }, { "SpreadSheetProtectWorkbook" } } } } },
        { "Вид",
            { { "Масштаб", { { "SpreadSheetZoomOut" }, { "SpreadSheetZoomIn" }, { "SpreadSheetZoomDefault" } } },
                { "Окно",
                    { menu("Закрепить области",
                        { { "SpreadSheetFreezePanes" }, { "SpreadSheetUnfreezePanes" }, { "SpreadSheetFreezeTopRow" },
                            { "SpreadSheetFreezeFirstColumn" } }) } },
                { "Отображение", { { "ActionShowHeaders" }, { "ActionShowGrids" } } } } },
    };
    return tabs;
}

void fillMenu(QMenu* target, const std::vector<RibbonItem>& items, const Ribbon::ActionLookup& actions)
{
    for (const RibbonItem& item : items) {
        if (item.menu)
            fillMenu(target->addMenu(QString::fromUtf8(item.menu)), item.items, actions);
        else
            target->addAction(actions(QString::fromLatin1(item.action)));
    }
}

constexpr int kRowsPerGroup = 3;

} // namespace

Ribbon::Ribbon(const ActionLookup& actions, QWidget* parent)
    : QWidget(parent)
    , tabs_(new QTabBar(this))
    , pages_(new QStackedWidget(this))
    , fileButton_(new QToolButton(this))
{
    fileButton_->setText(QStringLiteral("Файл"));
    fileButton_->setObjectName(QStringLiteral("RibbonFileButton"));
    fileButton_->setStyleSheet(QStringLiteral(
        "QToolButton { background: #217346; color: white; padding: 3px 14px; border: none; }"));
    connect(fileButton_, &QToolButton::clicked, this, &Ribbon::FileButtonClicked);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);

    for (const RibbonTab& tab : ribbonLayout()) {
        tabs_->addTab(QString::fromUtf8(tab.caption));
        auto* page = new QWidget;
        auto* pageLayout = new QHBoxLayout(page);
        pageLayout->setContentsMargins(4, 2, 4, 2);
        pageLayout->setSpacing(4);
        for (const RibbonGroup& group : tab.groups) {
            auto* frame = new QFrame(page);
            frame->setFrameShape(QFrame::StyledPanel);
            auto* grid = new QGridLayout(frame);
            grid->setContentsMargins(3, 2, 3, 2);
            grid->setHorizontalSpacing(2);
            grid->setVerticalSpacing(1);
            int index = 0;
            for (const RibbonItem& item : group.items) {
                auto* button = new QToolButton(frame);
                button->setAutoRaise(true);
                button->setFocusPolicy(Qt::NoFocus);
                button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
                if (item.menu) {
                    button->setText(QString::fromUtf8(item.menu));
                    auto* dropDown = new QMenu(button);
                    fillMenu(dropDown, item.items, actions);
                    button->setMenu(dropDown);
                    button->setPopupMode(QToolButton::InstantPopup);
                } else {
                    button->setDefaultAction(actions(QString::fromLatin1(item.action)));
                    buttons_.insert(QString::fromLatin1(item.action), button);
                }
                grid->addWidget(button, index % kRowsPerGroup, index / kRowsPerGroup);
                ++index;
            }
            auto* caption = new QLabel(QString::fromUtf8(group.caption), frame);
            caption->setAlignment(Qt::AlignCenter);
            caption->setStyleSheet(QStringLiteral("color: #666;"));
            grid->addWidget(caption, kRowsPerGroup, 0, 1, std::max(1, (index + kRowsPerGroup - 1) / kRowsPerGroup));
            pageLayout->addWidget(frame);
        }
        pageLayout->addStretch(1);
        // A page wider than the window scrolls instead of squeezing its captions.
        auto* scroller = new QScrollArea(pages_);
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->setWidgetResizable(true);
        scroller->setWidget(page);
        scroller->setFixedHeight(page->sizeHint().height() + scroller->horizontalScrollBar()->sizeHint().height());
        pages_->addWidget(scroller);
    }
    connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
    tabs_->setCurrentIndex(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    header->addWidget(fileButton_);
    header->addWidget(tabs_);
    header->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(pages_);
    pages_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

} // namespace quorvel
