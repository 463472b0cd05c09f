// Pictures of the main window for review: with TAVLOR_SCREENSHOTS_DIR set,
// the window is rendered offscreen with a competition loaded and each kind
// of tree element focused, and with its pop-up menus and an error box.
#include "ui/MainFixture.h"

#include "model/dbFb.h"
#include "ui/main/MatchList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

class MainScreenshots : public QObject {
    Q_OBJECT

    QString Folder;

    void Save(QWidget* w, const QString& name) {
        const QPixmap shot = w->grab();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(Folder + u'/' + name + QStringLiteral(".png")));
    }
    // The window under a strip that shows its title, as the window manager's
    // title bar would (grab() draws no frame).
    void SaveWithTitle(QWidget* w, const QString& name) {
        const QPixmap shot = w->grab();
        QVERIFY(!shot.isNull());
        const int strip = 26;
        QPixmap framed(shot.width(), shot.height() + strip);
        framed.fill(QColor(0x3c, 0x5a, 0x82));
        QPainter painter(&framed);
        painter.setPen(Qt::white);
        QFont font = w->font();
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(10, 0, shot.width() - 20, strip), Qt::AlignVCenter | Qt::AlignLeft, w->windowTitle());
        painter.drawPixmap(0, strip, shot);
        painter.end();
        QVERIFY(framed.save(Folder + u'/' + name + QStringLiteral(".png")));
    }

private slots:
    void initTestCase() {
        Folder = qEnvironmentVariable("TAVLOR_SCREENSHOTS_DIR");
        if (Folder.isEmpty()) QSKIP("TAVLOR_SCREENSHOTS_DIR is not set");
        QDir().mkpath(Folder);
    }

    void mainWindow() {
        TMainFixture f;
        f.Main->resize(1100, 720);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        Save(f.Main, QStringLiteral("main-empty"));
        f.Load(1201, "3bandes", "2025-2026 Nationale 1 Seniors - Finale de France");
        f.Login();
        f.Tree().expandAll();
        Save(f.Main, QStringLiteral("main-registrants"));
        const TNodeHandle pool = f.Find(NodePool, 101);
        const struct {
            TNodeHandle Node;
            const char* Name;
        } shots[] = {{f.Find(NodePhase, 1), "main-phase"},
                     {pool, "main-pool"},
                     {f.Dm->Tree.Child(f.Dm->RegistrantsNode, 2), "main-registrant"},
                     {f.Dm->Tree.Child(pool, 1), "main-member"}};
        for (const auto& s : shots) {
            f.Focus(s.Node);
            QTest::qWait(20);
            Save(f.Main, QLatin1String(s.Name));
        }
        f.Focus(pool);
        f.Main->GridMatchs()->setFocus();
        f.Main->GridMatchs()->SetCurrentMatchRow(1);
        QTest::qWait(20);
        Save(f.Main, QStringLiteral("main-matchlist-focused"));
        f.Main->resize(1400, 760);
        QTest::qWait(20);
        Save(f.Main, QStringLiteral("main-two-columns"));

        // Pop-up menus, one per kind.
        for (const auto& s : shots) {
            f.Focus(s.Node);
            QMenu menu;
            menu.addActions(f.Main->PopupActions());
            menu.adjustSize();
            Save(&menu, QStringLiteral("popup-") + QLatin1String(s.Name + 5));
        }
        // An error box as the program shows it.
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Tavlor"),
                        QStringLiteral("Suppression impossible : la phase doit être vide\r\nsupprimez d'abord les "
                                       "poules contenues"),
                        QMessageBox::Ok, f.Main);
        box.show();
        QTest::qWait(20);
        Save(&box, QStringLiteral("error-box"));
    }

    // A copy of the server's competition opened from the local base with the
    // server stopped, a change refused; a competition of this computer run by
    // hand.
    void localBase() {
        TMainFixture f;
        f.Main->resize(1100, 720);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        f.Program->Fb().Now = [] { return 46000.75; };  // 9 December 2025, 18:00
        f.Load(1201, "3bandes", "2025-2026 Nationale 1 Seniors - Finale de France");
        f.Server.Stop();
        f.Program->Fb().LoadCompetDb(1201, "");
        f.Main->FocusFirstNode();
        f.Tree().expandAll();
        f.Focus(f.Find(NodePool, 101));
        QTest::qWait(20);
        SaveWithTitle(f.Main, QStringLiteral("main-local-copy"));
        f.Action(TCommandId::AddPhase)->trigger();
        QVERIFY(!f.Boxes.Errors.empty());
        QMessageBox refused(QMessageBox::Critical, QStringLiteral("Tavlor"), QString::fromStdString(f.Boxes.Errors[0]),
                            QMessageBox::Ok, f.Main);
        refused.show();
        QTest::qWait(20);
        Save(&refused, QStringLiteral("local-copy-refused"));
        refused.close();

        f.Program->Fb().Now = [] { return 46001.5; };
        f.Boxes.Typed = {"Tournoi de Noël du club", "3Bandes", "2025-2026"};
        f.Action(TCommandId::NewCompetLocal)->trigger();
        f.Action(TCommandId::AddPhase)->trigger();
        f.Focus(f.Find(NodePhase, 1));
        f.Boxes.Typed = {"Poule A"};
        f.Action(TCommandId::AddPoule)->trigger();
        const std::vector<std::pair<std::int32_t, std::string>> players = {
            {900001, "MARTIN Luc"}, {900002, "BERNARD Anne"}, {900003, "PETIT Hugo"}, {900004, "ROUX Élise"}};
        for (const auto& [licence, name] : players) {
            QVERIFY(f.Compet->AddInscrit(licence, -1, name));
            QVERIFY(f.Compet->AddJoueur(licence, -1, 1));
        }
        const struct {
            int a, b, pa, pb, ra, rb, sa, sb;
        } played[] = {{0, 1, 30, 22, 24, 24, 6, 4},
                      {2, 3, 30, 30, 31, 31, 5, 7},
                      {0, 2, 30, 17, 20, 20, 9, 3},
                      {1, 3, 25, 30, 28, 28, 4, 6}};
        for (const auto& m : played) {
            TParamMatch match;
            match.DateMatch = 46010;
            match.IdPhase = 1;
            match.IdPoule = 1;
            match.Licence1 = players[static_cast<std::size_t>(m.a)].first;
            match.Licence2 = players[static_cast<std::size_t>(m.b)].first;
            match.Pts1 = m.pa;
            match.Pts2 = m.pb;
            match.Rep1 = m.ra;
            match.Rep2 = m.rb;
            match.Ser1 = m.sa;
            match.Ser2 = m.sb;
            match.Pm1 = m.pa > m.pb ? 2 : m.pa == m.pb ? 1 : 0;
            match.Pm2 = 2 - match.Pm1;
            match.Bd = 310;
            QVERIFY(f.Compet->AddMatch(match));
        }
        f.Main->FocusFirstNode();
        f.Tree().expandAll();
        f.Focus(f.Find(NodePool, 1));
        QTest::qWait(20);
        SaveWithTitle(f.Main, QStringLiteral("main-local-competition"));
    }

    void largeCompetition() {
        fedserver::TFedServerOptions options;
        options.Large = true;
        TMainFixture f({}, false);
        f.Server.Stop();
        fedserver::TFedServer large(options);
        large.Start(0);
        f.Start();
        f.Main->resize(1100, 720);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        f.Www->SetBaseUrl(large.BaseUrl("3bandes"));
        f.Www->LoadCompet(4242, "FFB 2026 Championnat de France - Grande compétition");
        f.Main->FocusFirstNode();
        Save(f.Main, QStringLiteral("main-large"));
        f.Stop();
        large.Stop();
    }
};

QTEST_MAIN(MainScreenshots)
#include "MainScreenshots.moc"
