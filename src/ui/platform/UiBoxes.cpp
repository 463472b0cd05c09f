#include "ui/platform/UiBoxes.h"

#include "ui/platform/ErrorDisplay.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/PlatformMessages.h"
#include "ui/platform/QtText.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <algorithm>

namespace tavlor::ui {

namespace {

const QString Title = QStringLiteral("Tavlor");

}  // namespace

void TQtBoxes::Error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, Title, Q(text), QMessageBox::Ok, BoxOwner(Parent_));
    ExecOnTop(box);
}

void TQtBoxes::Information(const std::string& text) {
    QMessageBox box(QMessageBox::Information, Title, Q(text), QMessageBox::Ok, BoxOwner(Parent_));
    ExecOnTop(box);
}

bool TQtBoxes::Confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Title, Q(text), QMessageBox::Yes | QMessageBox::No, BoxOwner(Parent_));
    // A deletion or a loss is confirmed on purpose, never by a stray Enter.
    box.setDefaultButton(QMessageBox::No);
    return ExecOnTop(box) == QMessageBox::Yes;
}

bool TQtBoxes::ConfirmOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Title, Q(text), QMessageBox::Ok | QMessageBox::Cancel, BoxOwner(Parent_));
    box.setDefaultButton(QMessageBox::Ok);
    return ExecOnTop(box) == QMessageBox::Ok;
}

namespace {

// Wide enough for the text it holds and for its title whole (the title bar's
// buttons take about as much again as the margin kept here).
void FitWidth(QInputDialog& dialog, const QString& text) {
    const QFontMetrics metrics = dialog.fontMetrics();
    const int wanted = std::max(metrics.horizontalAdvance(text + QStringLiteral("MMMMMMMMMM")),
                                metrics.horizontalAdvance(dialog.windowTitle()) + 120);
    dialog.resize(std::max(dialog.sizeHint().width(), wanted), dialog.sizeHint().height());
}

}  // namespace

bool TQtBoxes::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    QInputDialog dialog(BoxOwner(Parent_));
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(value));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    FitWidth(dialog, Q(value));
    if (ExecOnTop(dialog) != QDialog::Accepted) {
        return false;
    }
    value = S(dialog.textValue());
    return true;
}

void TQtBoxes::TopLevelError(const std::string& text) {
    ShowTopLevelError(Parent_, text);
}

bool TQtBoxes::ChooseItem(const std::string& caption, const std::string& prompt, const std::vector<std::string>& items,
                          int& index) {
    QStringList list;
    for (const std::string& item : items) list << Q(item);
    QInputDialog dialog(BoxOwner(Parent_));
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setComboBoxItems(list);
    dialog.setComboBoxEditable(false);
    if (index >= 0 && index < list.size()) dialog.setTextValue(list[index]);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    FitWidth(dialog, dialog.textValue());
    if (ExecOnTop(dialog) != QDialog::Accepted) return false;
    index = static_cast<int>(list.indexOf(dialog.textValue()));
    return index >= 0;
}

int TQtBoxes::Ask(const std::string& text, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Warning, Title, Q(text), QMessageBox::NoButton, BoxOwner(Parent_));
    std::vector<QAbstractButton*> added;
    for (const std::string& b : buttons) added.push_back(box.addButton(Q(b), QMessageBox::ActionRole));
    if (!added.empty()) box.setDefaultButton(static_cast<QPushButton*>(added.front()));
    // Escape and the close box answer none of them: a box without an escape
    // button would ignore both, so they click a button that is never shown.
    QPushButton* none = box.addButton(QStringLiteral("-"), QMessageBox::RejectRole);
    none->hide();
    box.setEscapeButton(none);
    ExecOnTop(box);
    const auto at = std::find(added.begin(), added.end(), box.clickedButton());
    return at == added.end() ? -1 : static_cast<int>(at - added.begin());
}

bool TQtBoxes::ChooseFolder(const std::string& caption, std::string& folder) {
    QFileDialog dialog(BoxOwner(Parent_), Q(caption));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(Q(folder));
    if (ExecOnTop(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    folder = S(dialog.selectedFiles().front());
    return true;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

// A file dialog of the program's own, in French, opening where path says.
bool ChooseFile(QWidget* owner, QFileDialog::AcceptMode mode, const std::string& filter, std::string& path) {
    const bool save = mode == QFileDialog::AcceptSave;
    QFileDialog dialog(owner, Q(save ? msg::platform::SaveFileTitle : msg::platform::OpenFileTitle));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFileFilter(filter).split(QStringLiteral(";;")));
    const QFileInfo at(Q(path));
    if (at.isDir()) {
        dialog.setDirectory(at.absoluteFilePath());
    } else {
        dialog.setDirectory(at.absolutePath());
        dialog.selectFile(at.fileName());
    }
    if (ExecOnTop(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = S(dialog.selectedFiles().front());
    return true;
}

}  // namespace

bool TQtBoxes::SaveFileName(const std::string& filter, std::string& path) {
    return ChooseFile(BoxOwner(Parent_), QFileDialog::AcceptSave, filter, path);
}

bool TQtBoxes::OpenFileName(const std::string& filter, std::string& path) {
    return ChooseFile(BoxOwner(Parent_), QFileDialog::AcceptOpen, filter, path);
}

}  // namespace tavlor::ui
