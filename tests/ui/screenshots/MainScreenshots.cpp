// Pictures of the main window for review: with TAVLOR_SCREENSHOTS_DIR set,
// the window is rendered offscreen with a competition loaded and each kind
// of tree element focused, and with its pop-up menus and an error box.
#include "ui/MainFixture.h"

#include "ui/main/MatchList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
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
