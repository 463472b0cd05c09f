// A match day from the keyboard, in the real program: Tab leaves every grid,
// Enter opens and corrects, Delete deletes through its command, F2, F5, F10
// and Shift+F10 reach what they name, every menu item has its mnemonic.
#include "MainFixture.h"

#include "ui/DialogFixture.h"
#include "ui/dialogs/MatchFrm.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

class KeyboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainFixture> F;

    void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(w, key, modifiers); }
    QWidget* Focus() { return QApplication::focusWidget(); }

private slots:
    void init() {
        F = std::make_unique<TMainFixture>();
        F->Load(1201);
        F->Login();
        F->Main->show();
        QApplication::setActiveWindow(F->Main);
        QVERIFY(QTest::qWaitForWindowActive(F->Main));
        F->Tree().setFocus();
    }
    void cleanup() { F.reset(); }

    void tabLeavesEveryGridForTheNext() {
        TMainFixture& f = *F;
        f.Focus(f.Find(NodePool, 101));
        f.Main->GridClasst()->setFocus();
        QCOMPARE(Focus(), f.Main->GridClasst());
        Key(f.Main->GridClasst(), Qt::Key_Tab);
        QCOMPARE(Focus(), f.Main->GridMatchs());
        Key(f.Main->GridMatchs(), Qt::Key_Tab);
        QVERIFY(Focus() != f.Main->GridMatchs());
        // Back again.
        f.Main->GridMatchs()->setFocus();
        Key(f.Main->GridMatchs(), Qt::Key_Backtab);
        QCOMPARE(Focus(), f.Main->GridClasst());
    }

    void enterOnAMatchCorrectsItAndDeleteDeletesIt() {
        TMainFixture& f = *F;
        f.Focus(f.Find(NodePool, 101));
        ui::TMatchList& list = *f.Main->GridMatchs();
        list.setFocus();
        QCOMPARE(f.State().FocusKind(), TFocusKind::Matches);
        list.SetCurrentMatchRow(1);
        const std::int32_t number = list.CurrentIdMatch();
        bool opened = false;
        auto dialog = WhenShown(&f.Program->Match(), [&] {
            opened = f.Program->Match().Entry().IdMatch() == number;
            f.Program->Match().reject();
        });
        Key(&list, Qt::Key_Return);
        QVERIFY(opened);
        // The window has the keyboard again once the dialog is closed.
        QApplication::setActiveWindow(f.Main);
        QTRY_COMPARE(Focus(), &list);
        // Delete: the command, with its confirmation (answered No, then Yes).
        const int panels = list.Grid().PanelCount();
        QVERIFY(f.Action(TCommandId::DelMatch)->isEnabled());
        QCOMPARE(Focus(), &list);
        f.Boxes.Answers = {false, true};
        Key(&list, Qt::Key_Delete);
        QCOMPARE(f.Boxes.Confirmations.size(), std::size_t(1));
        QCOMPARE(list.Grid().PanelCount(), panels);
        Key(&list, Qt::Key_Delete);
        QCOMPARE(list.Grid().PanelCount(), panels - 1);
        QVERIFY(!f.Dm->Tables.Matchs.Data().Lookup("IDMATCH", {number}));
        // The list keeps its place: the match after the deleted one is current.
        QCOMPARE(list.CurrentMatchRow(), 1);
        QApplication::setActiveWindow(f.Main);  // after the connection window
        QTRY_COMPARE(Focus(), &list);
    }

    void deleteOnTheTreeDeletesTheFocusedElementThroughItsCommand() {
        TMainFixture& f = *F;
        QVERIFY(f.Compet->AddPhase(8, "Vide"));
        f.Focus(f.Find(NodePhase, 8));
        f.Tree().setFocus();
        f.Boxes.Answers = {true};
        Key(&f.Tree(), Qt::Key_Delete);
        QCOMPARE(f.Boxes.Confirmations, std::vector<std::string>{"Supprimer la Phase sélectionnée ?"});
        QCOMPARE(f.Find(NodePhase, 8), TNodeHandle(0));
        // The registrants folder has nothing to delete: nothing asked.
        f.Focus(f.Dm->RegistrantsNode);
        Key(&f.Tree(), Qt::Key_Delete);
        QCOMPARE(f.Boxes.Confirmations.size(), std::size_t(1));
    }

    void aSecondClickThenDeleteDeletesTheElementNotItsName() {
        TMainFixture& f = *F;
        QVERIFY(f.Compet->AddPhase(8, "Vide"));
        const TNodeHandle phase = f.Find(NodePhase, 8);
        f.Focus(phase);
        // The editor a second click opens, then Delete as the first key.
        const QRect r = f.Tree().visualRect(f.Model().IndexOf(phase));
        QTest::mouseClick(f.Tree().viewport(), Qt::LeftButton, {}, r.center());
        QTRY_VERIFY(qobject_cast<QLineEdit*>(Focus()) != nullptr);
        f.Boxes.Answers = {false};
        Key(Focus(), Qt::Key_Delete);
        QTRY_COMPARE(f.Boxes.Confirmations.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Confirmations.back(), std::string("Supprimer la Phase sélectionnée ?"));
        QCOMPARE(f.Text(phase), QStringLiteral("Vide"));
        QVERIFY(qobject_cast<QLineEdit*>(Focus()) == nullptr);
        // F2 opens the editor for typing: Delete there edits the name.
        f.Tree().setFocus();
        Key(&f.Tree(), Qt::Key_F2);
        QVERIFY(Focus() != &f.Tree());
        Key(Focus(), Qt::Key_End);
        Key(Focus(), Qt::Key_Backspace);
        Key(Focus(), Qt::Key_Return);
        QTRY_COMPARE(f.Text(phase), QStringLiteral("Vid"));
        QCOMPARE(f.Boxes.Confirmations.size(), std::size_t(1));
    }

    void f5ReloadsF10ReachesTheMenusShiftF10OpensThePopup() {
        TMainFixture& f = *F;
        const auto requests = f.Server.Requests().size();
        Key(f.Main, Qt::Key_F5);
        QCOMPARE(f.Server.Requests().size(), requests + 3);
        QApplication::setActiveWindow(f.Main);  // again, after the connection window
        QVERIFY(QTest::qWaitForWindowActive(f.Main));
        // F10: the first menu opens.
        Key(f.Main, Qt::Key_F10);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(f.Main->menuBar()->activeAction(), f.Main->menuBar()->actions().front());
        QApplication::activePopupWidget()->close();
        // Shift+F10 in the tree: the focused node's menu.
        f.Focus(f.Find(NodePhase, 1));
        f.Tree().setFocus();
        Key(&f.Tree(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup != nullptr);
        QCOMPARE(popup->actions().front(), f.Action(TCommandId::AddPhase));
        popup->close();
    }

    void everyMenuAndItemHasAMnemonicAndShowsItsShortcut() {
        TMainFixture& f = *F;
        for (QAction* top : f.Main->menuBar()->actions()) {
            QVERIFY2(top->text().contains(u'&'), qPrintable(top->text()));
            QMenu* menu = top->menu();
            if (menu == nullptr) continue;
            QList<QChar> used;
            std::function<void(QMenu*)> check = [&](QMenu* m) {
                for (QAction* item : m->actions()) {
                    if (item->isSeparator()) continue;
                    const qsizetype at = item->text().indexOf(u'&');
                    QVERIFY2(at >= 0 && at + 1 < item->text().size(), qPrintable(item->text()));
                    if (item->menu() != nullptr) check(item->menu());
                }
            };
            check(menu);
        }
        QCOMPARE(f.Action(TCommandId::ReloadCompet)->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(f.Action(TCommandId::DelPoule)->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(f.Action(TCommandId::EditPoule)->shortcut(), QKeySequence(Qt::Key_F2));
    }

    void aDoubleClickOnAMatchIsRefusedWhileACommandRuns() {
        TMainFixture& f = *F;
        f.Focus(f.Find(NodePool, 101));
        ui::TMatchList& list = *f.Main->GridMatchs();
        const QRect r = list.visualRect(list.Grid().IndexOfMatch(0));
        bool refused = false;
        QVERIFY(f.Commands().Run([&] {
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, r.center());
            refused = !f.Boxes.Errors.empty() && !f.Program->Match().isVisible();
        }));
        QVERIFY(refused);
        QCOMPARE(f.Boxes.Errors.front(), std::string("Un échange avec le serveur est déjà en cours, attendez sa fin"));
    }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
