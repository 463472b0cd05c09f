#include "ui/platform/ErrorDisplay.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using tavlor::ui::ErrorDisplayText;

class ErrorDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void fullStopOnlyAfterCharactersThatSortAfterIt() {
        QCOMPARE(ErrorDisplayText("Ajout impossible"), QStringLiteral("Ajout impossible."));
        QCOMPARE(ErrorDisplayText("Phase 1 : 2"), QStringLiteral("Phase 1 : 2."));
        QCOMPARE(ErrorDisplayText("déjà"), QStringLiteral("déjà."));
        QCOMPARE(ErrorDisplayText("Terminé."), QStringLiteral("Terminé."));
        QCOMPARE(ErrorDisplayText("(3Bandes)"), QStringLiteral("(3Bandes)"));
        QCOMPARE(ErrorDisplayText("fin de ligne\r\n"), QStringLiteral("fin de ligne\r\n"));
        QCOMPARE(ErrorDisplayText("Attention !"), QStringLiteral("Attention !"));
        QCOMPARE(ErrorDisplayText("a/"), QStringLiteral("a/."));
        QCOMPARE(ErrorDisplayText(""), QString());
    }

    void errorBoxHasTheProgramTitleAndOneOkButton() {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        tavlor::ui::ShowTopLevelError(nullptr, "No Phase illégal : -1\r\nAjout impossible");
        QCOMPARE(title, QStringLiteral("Tavlor"));
        QCOMPARE(text, QStringLiteral("No Phase illégal : -1\r\nAjout impossible."));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, 1);
    }
};

QTEST_MAIN(ErrorDisplayTest)
#include "ErrorDisplayTest.moc"
