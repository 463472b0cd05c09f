#include "ui/dialogs/FiltreCompetFrm.h"

#include "commands/CompetList.h"
#include "ui/dialogs/DialogsMessages.h"
#include "ui/models/TextGridModel.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace tavlor::ui {

namespace {

// "short|long": the short part next to the button, the long one for the status bar.
void SetHint(QWidget* widget, const char* hint) {
    const QStringList parts = Q(hint).split(u'|');
    widget->setToolTip(parts.front());
    widget->setStatusTip(parts.back());
}

}  // namespace

TFiltreCompetFrm::TFiltreCompetFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFiltreCompetFrm"));
    setWindowTitle(Q(msg::dialogs::TitleFiltered));
    resize(375, 453);

    auto* select = new QPushButton(Q(msg::dialogs::Select), this);
    select->setObjectName(QStringLiteral("SelectBtn"));
    SetHint(select, msg::dialogs::HintSelect);
    auto* close = new QPushButton(Q(msg::dialogs::Close), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    SetHint(close, msg::dialogs::HintClose);
    for (QPushButton* b : {select, close}) {
        b->setAutoDefault(false);
    }

    Model_ = new TTextGridModel(GrilleFiltre_, this);
    View_ = MakeTextGridView(Model_, QStringLiteral("GrilleFiltre"), this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(select);
    bar->addWidget(close);
    bar->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(View_, 1);

    connect(select, &QPushButton::clicked, this, &TFiltreCompetFrm::SelectCurrent);
    connect(close, &QPushButton::clicked, this, &TFiltreCompetFrm::reject);
    connect(View_, &TTextGridView::RowActivated, this, &TFiltreCompetFrm::SelectCurrent);
}

void TFiltreCompetFrm::Fill(const TTextGrid& source, const std::string& filter, const std::vector<int>& widths) {
    {
        TGridChange change(*Model_);
        GrilleFiltre_.SetColCount(source.ColCount());
        // Only copied rows: a row left over from an earlier filter could be selected in place of a match.
        GrilleFiltre_.SetRowCount(1);
        Sources_.clear();
        // The copy counter runs over the rows kept, the title row first.
        int k = -1;
        for (const int r : FilteredRows(source, filter)) {
            ++k;
            if (GrilleFiltre_.RowCount() < k + 1) GrilleFiltre_.SetRowCount(k + 1);
            for (int c = 0; c < source.ColCount(); ++c) GrilleFiltre_.SetCell(c, k, source.Cell(c, r));
            Sources_.push_back(r);
        }
    }
    Model_->SetTitleRow(true);
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        View_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
    SetCurrentRow(1);
}

void TFiltreCompetFrm::SetCurrentRow(int row) {
    const int modelRow = Model_->ModelRow(row);
    if (modelRow >= 0 && modelRow < Model_->rowCount()) {
        View_->setCurrentIndex(Model_->index(modelRow, 0));
        View_->selectRow(modelRow);
    } else {
        View_->setCurrentIndex({});
    }
}

bool TFiltreCompetFrm::ShowFiltered(const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                                    int& sourceRow) {
    Fill(source, filter, widths);
    Selected_ = -1;
    // Enter chooses the first competition kept, as a double click would.
    View_->setFocus();
    if (ExecOnTop(*this) != QDialog::Accepted || Selected_ < 0) {
        return false;
    }
    sourceRow = Selected_;
    return true;
}

void TFiltreCompetFrm::SelectCurrent() {
    const QModelIndex current = View_->currentIndex();
    if (!current.isValid()) {
        return;  // no competition holds the text
    }
    Selected_ = SourceRow(Model_->GridRow(current.row()));
    accept();
}

bool TFiltreCompetFrm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip && ShowHint) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

}  // namespace tavlor::ui
