#include "ui/platform/ErrorDisplay.h"

#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"

#include <QMessageBox>

namespace tavlor::ui {

QString ErrorDisplayText(const std::string& message) {
    QString text = Q(message);
    // Every character outside ASCII sorts after "." in Windows-1252 as in Unicode,
    // so the comparison on the code point gives the same answer as on the byte.
    if (!text.isEmpty() && text.back() > QChar(u'.')) {
        text += u'.';
    }
    return text;
}

void ShowTopLevelError(QWidget* parent, const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tavlor"), ErrorDisplayText(message), QMessageBox::Ok,
                    parent);
    ExecOnTop(box);
}

}  // namespace tavlor::ui
