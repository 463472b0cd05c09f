#include "ui/platform/UiBoxes.h"

#include "ui/platform/ErrorDisplay.h"
#include "ui/platform/QtText.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace tavlor::ui {

namespace {

const QString Title = QStringLiteral("Tavlor");

}  // namespace

void TQtBoxes::Error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, Title, Q(text), QMessageBox::Ok, Parent_);
    box.exec();
}

void TQtBoxes::Information(const std::string& text) {
    QMessageBox box(QMessageBox::Information, Title, Q(text), QMessageBox::Ok, Parent_);
    box.exec();
}

bool TQtBoxes::Confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Title, Q(text), QMessageBox::Yes | QMessageBox::No, Parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool TQtBoxes::ConfirmOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Title, Q(text), QMessageBox::Ok | QMessageBox::Cancel, Parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

bool TQtBoxes::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    QInputDialog dialog(Parent_);
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(value));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    if (dialog.exec() != QDialog::Accepted) {
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
    QInputDialog dialog(Parent_);
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setComboBoxItems(list);
    dialog.setComboBoxEditable(false);
    if (index >= 0 && index < list.size()) dialog.setTextValue(list[index]);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    if (dialog.exec() != QDialog::Accepted) return false;
    index = static_cast<int>(list.indexOf(dialog.textValue()));
    return index >= 0;
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

bool TQtBoxes::SaveFileName(const std::string& filter, std::string& path) {
    const QString chosen = QFileDialog::getSaveFileName(Parent_, Title, Q(path), QtFileFilter(filter));
    if (chosen.isEmpty()) {
        return false;
    }
    path = S(chosen);
    return true;
}

bool TQtBoxes::OpenFileName(const std::string& filter, std::string& path) {
    const QString chosen = QFileDialog::getOpenFileName(Parent_, Title, Q(path), QtFileFilter(filter));
    if (chosen.isEmpty()) {
        return false;
    }
    path = S(chosen);
    return true;
}

}  // namespace tavlor::ui
