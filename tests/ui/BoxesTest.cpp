// The program's boxes: above the window that caused them, French, the safe
// answer by default, the file dialogs where the files are.
#include "ui/platform/KeyboardOwner.h"
#include "ui/platform/Language.h"
#include "ui/platform/UiBoxes.h"

#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace tavlor;

namespace {

// Runs act on the next modal window once it shows, then closes it.
void OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

}  // namespace

class BoxesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(ui::UseFrench(*QCoreApplication::instance())); }

    void qtsOwnTextsAreFrenchWhateverTheLocale() {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Tavlor"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Non"));
        QMessageBox cancel(QMessageBox::Question, QStringLiteral("Tavlor"), QStringLiteral("?"),
                           QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(cancel.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Annuler"));
        // The date picker's months and days.
        QCOMPARE(QLocale().monthName(12), QStringLiteral("décembre"));
        QCOMPARE(QLocale().dayName(1), QStringLiteral("lundi"));
        QDateEdit picker(QDate(2026, 12, 10));
        picker.setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
        QCOMPARE(picker.text(), QStringLiteral("jeudi 10 décembre 2026"));
    }

    void aBoxBelongsToTheModalWindowOpenAndStaysAboveAWindowOnTop() {
        // A window that stays on top (the lists dialog, the connection window), modal.
        QDialog onTop(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
        onTop.setObjectName(QStringLiteral("onTop"));
        ui::TQtBoxes boxes;
        QWidget* parent = nullptr;
        bool keptOnTop = false;
        QString text;
        OnNextModal([&](QWidget* dialog) {
            QCOMPARE(dialog, &onTop);
            OnNextModal([&](QWidget* box) {
                parent = box->parentWidget();
                keptOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                text = qobject_cast<QMessageBox*>(box)->text();
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            });
            boxes.Error("L'identifiant de connexion doit être numérique");
            onTop.reject();
        });
        onTop.exec();
        QCOMPARE(parent, &onTop);
        QVERIFY(keptOnTop);
        QCOMPARE(text, QStringLiteral("L'identifiant de connexion doit être numérique"));
    }

    void deletionsAreConfirmedOnPurposeNeverByEnter() {
        ui::TQtBoxes boxes;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        OnNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            defaultButton = box->standardButton(box->defaultButton());
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(!boxes.Confirm("Supprimer la poule sélectionnée ?"));
        QCOMPARE(defaultButton, QMessageBox::No);
    }

    void aQuestionWithItsOwnButtonsAnswersTheOneClickedAndNoneOnEscape() {
        ui::TQtBoxes boxes;
        QStringList shown;
        OnNextModal([&](QWidget* w) {
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
                if (b->isVisible()) shown << b->text();
            }
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(boxes.Ask("Impossible d'enregistrer", {"Réessayer", "Quitter sans enregistrer", "Annuler"}), -1);
        shown.sort();
        QCOMPARE(shown, QStringList({"Annuler", "Quitter sans enregistrer", "Réessayer"}));
        // The close box too.
        OnNextModal([&](QWidget* w) { w->close(); });
        QCOMPARE(boxes.Ask("Impossible d'enregistrer", {"Réessayer", "Annuler"}), -1);
        // Enter takes the first, the default.
        OnNextModal([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(boxes.Ask("Impossible d'enregistrer", {"Réessayer", "Annuler"}), 0);
        OnNextModal([&](QWidget* w) {
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
                if (b->text() == QStringLiteral("Annuler")) b->click();
            }
        });
        QCOMPARE(boxes.Ask("Impossible d'enregistrer", {"Réessayer", "Annuler"}), 1);
    }

    void fileDialogsAreTitledInFrenchAndOpenWhereTheFileGoes() {
        test::TTempDir dir;
        ui::TQtBoxes boxes;
        QString title, folder, name;
        OnNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            title = dialog->windowTitle();
            folder = dialog->directory().absolutePath();
            name = dialog->findChild<QLineEdit*>()->text();
            dialog->reject();
        });
        std::string path = dir.File("inscrits_Finale.xml");
        QVERIFY(!boxes.SaveFileName("fichiers xml|*.xml|tous fichiers|*.*", path));
        QCOMPARE(title, QStringLiteral("Enregistrer le fichier"));
        QCOMPARE(folder, QString::fromStdString(dir.Path()));
        QCOMPARE(name, QStringLiteral("inscrits_Finale.xml"));
        // Opening starts in the folder given.
        OnNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            title = dialog->windowTitle();
            folder = dialog->directory().absolutePath();
            dialog->reject();
        });
        path = dir.Path();
        QVERIFY(!boxes.OpenFileName("fichiers xml|*.xml|tous les fichiers|*.*", path));
        QCOMPARE(title, QStringLiteral("Ouvrir un fichier"));
        QCOMPARE(folder, QString::fromStdString(dir.Path()));
    }

    void anInputBoxIsWideEnoughForItsText() {
        ui::TQtBoxes boxes;
        int width = 0, needed = 0;
        OnNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            auto* edit = dialog->findChild<QLineEdit*>();
            width = edit->width();
            needed = edit->fontMetrics().horizontalAdvance(edit->text());
            dialog->reject();
        });
        std::string name = "2025-2026 Nationale 1 Seniors - Finale de France A";
        QVERIFY(!boxes.InputQuery("Ajouter une poule", "Nom", name));
        QVERIFY2(width > needed, qPrintable(QStringLiteral("%1 for %2").arg(width).arg(needed)));
        // A choice with a short prompt still shows its title whole.
        OnNextModal([&](QWidget* w) {
            width = w->width();
            needed = w->fontMetrics().horizontalAdvance(w->windowTitle());
            qobject_cast<QDialog*>(w)->reject();
        });
        int index = 0;
        QVERIFY(!boxes.ChooseItem("Nouvelle compétition locale", "Discipline", {"3Bandes", "Cadre"}, index));
        QVERIFY2(width > needed, qPrintable(QStringLiteral("%1 for %2").arg(width).arg(needed)));
    }

    void theKeyboardGoesBackOnlyToAVisibleWindowNoModalOneBlocks() {
        QWidget main;
        main.show();
        const auto id = static_cast<unsigned long>(main.winId());
        QCOMPARE(ui::TKeyboardOwner::TopLevelOf(id), &main);
        QCOMPARE(ui::TKeyboardOwner::TopLevelOf(0), nullptr);
        QWidget* blocked = &main;
        QWidget* modal = nullptr;
        OnNextModal([&](QWidget* w) {
            modal = ui::TKeyboardOwner::TopLevelOf(static_cast<unsigned long>(w->winId()));
            blocked = ui::TKeyboardOwner::TopLevelOf(id);
            static_cast<QDialog*>(w)->reject();
        });
        QDialog dialog(&main);
        dialog.exec();
        QCOMPARE(modal, static_cast<QWidget*>(&dialog));
        QCOMPARE(blocked, nullptr);
        // A hidden window never gets it back.
        main.hide();
        QCOMPARE(ui::TKeyboardOwner::TopLevelOf(id), nullptr);
    }
};

QTEST_MAIN(BoxesTest)
#include "BoxesTest.moc"
