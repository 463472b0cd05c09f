#pragma once

#include "model/TextGrid.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTableView;

namespace tavlor::ui {

class TTextGridModel;
class TTextGridView;

// The competition list narrowed to the rows that contain a text. Each of its
// rows remembers the row of the full list it was copied from.
class TFiltreCompetFrm : public QDialog {
    Q_OBJECT

public:
    explicit TFiltreCompetFrm(QWidget* parent = nullptr);

    // Copies the title row and the matching rows of source, shows the list
    // modally; true when a competition was selected, whose row of source is
    // then in sourceRow.
    bool ShowFiltered(const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                      int& sourceRow);
    // The copy alone (what ShowFiltered shows).
    void Fill(const TTextGrid& source, const std::string& filter, const std::vector<int>& widths);

    const TTextGrid& Grid() const { return GrilleFiltre_; }
    // The row of the full list a row of this list was copied from.
    int SourceRow(int row) const { return Sources_.at(static_cast<std::size_t>(row)); }
    void SetCurrentRow(int row);
    int Selected() const { return Selected_; }

    // The select button, or a double click: the current row's competition.
    void SelectCurrent();

    // Receives the long part of a button's hint, for the main window's status bar.
    std::function<void(const QString&)> ShowHint;

protected:
    bool event(QEvent* event) override;

private:
    TTextGrid GrilleFiltre_;
    std::vector<int> Sources_;
    int Selected_ = -1;
    TTextGridModel* Model_ = nullptr;
    TTextGridView* View_ = nullptr;
};

}  // namespace tavlor::ui
