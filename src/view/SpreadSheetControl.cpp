#include "view/SpreadSheetControl.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetTableView.h"
#include "view/SpreadSheetGridView.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <QHBoxLayout>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvel {

SpreadSheetControl::SpreadSheetControl(QWidget* parent)
    : QWidget(parent)
    , book_(std::make_unique<SpreadSheet>())
    , states_(std::make_unique<SpreadSheetViewStates>())
    , grid_(new SpreadSheetGridView(*book_, *states_, this))
    , tabs_(new QTabBar(this))
    , addSheetButton_(new QToolButton(this))
{
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    addSheetButton_->setText(QStringLiteral("+"));
    addSheetButton_->setAutoRaise(true);
    addSheetButton_->setFocusPolicy(Qt::NoFocus);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    bottom->addWidget(tabs_);
    bottom->addWidget(addSheetButton_);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);

    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (refreshingTabs_ || index < 0)
            return;
        grid_->CommitEditing();
        if (SpreadSheetTableView* sheet = book_->VisibleSheets(index))
            book_->SetActiveSheetIndex(sheet->Index());
    });
    connect(addSheetButton_, &QToolButton::clicked, this, &SpreadSheetControl::AddSheet);
    connect(grid_, &SpreadSheetGridView::ActiveCellChanging, this, &SpreadSheetControl::ActiveCellChanging);

    book_->OnLayoutChanged = [this] {
        RefreshTabs();
        grid_->LayoutChanged();
    };
    book_->OnActiveSheetChanged = [this] {
        RefreshTabs();
        grid_->LayoutChanged();
    };
    book_->OnDataChanged = [this] { grid_->viewport()->update(); };
    book_->OnHistoryChanged = [this] { emit HistoryChanged(); };
    book_->OnModifiedChanged = [this] { emit ModifiedChanged(); };
    book_->OnCircularReferences = [this] { emit CircularReferencesFound(); };
    RefreshTabs();
    setFocusProxy(grid_);
}

SpreadSheetControl::~SpreadSheetControl()
{
    book_->OnLayoutChanged = nullptr;
    book_->OnActiveSheetChanged = nullptr;
    book_->OnDataChanged = nullptr;
    book_->OnHistoryChanged = nullptr;
    book_->OnModifiedChanged = nullptr;
    book_->OnCircularReferences = nullptr;
    // The grid (and its editor, which commits when it loses the focus) goes before the workbook.
    delete grid_;
}

SpreadSheetTableViewSelection& SpreadSheetControl::Selection() const
{
    return states_->Selection(*book_->ActiveSheet());
}

void SpreadSheetControl::AddSheet()
{
    grid_->CommitEditing();
    book_->InsertSheet(book_->ActiveSheetIndex() + 1);
    grid_->setFocus();
}

void SpreadSheetControl::RefreshTabs()
{
    refreshingTabs_ = true;
    const int count = book_->VisibleSheetCount();
    while (tabs_->count() > count)
        tabs_->removeTab(tabs_->count() - 1);
    int current = -1;
    for (int i = 0; i < count; ++i) {
        const SpreadSheetTableView* sheet = book_->VisibleSheets(i);
        if (i < tabs_->count())
            tabs_->setTabText(i, sheet->Caption());
        else
            tabs_->addTab(sheet->Caption());
        if (sheet == book_->ActiveSheet())
            current = i;
    }
    tabs_->setCurrentIndex(current);
    refreshingTabs_ = false;
}

} // namespace quorvel
