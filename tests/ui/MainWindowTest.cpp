// The main window over a downloaded competition: titles, states, enabling of
// the commands, the ranking grid and the match list.
#include "MainFixture.h"

#include "ui/MatchList.h"
#include "ui/TableModel.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {

bool On(ui::TMainFrm& m, const char* action) {
    return m.Action(QLatin1String(action))->isEnabled();
}

QString Bound(QToolButton* b) {
    return b->defaultAction()->objectName();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithoutCompetition() {
        TMainFixture f;
        ui::TMainFrm& m = *f.Main;
        QCOMPARE(m.windowTitle(), QStringLiteral("Tavlor (utilisateur non identifié)"));
        QCOMPARE(m.NomCompetLbl()->text(), QStringLiteral("Chargez une compétition"));
        QVERIFY(m.RightPanel()->isHidden());
        QVERIFY(m.ClassementLbl()->isHidden());
        QVERIFY(On(m, "LoadFromInternet"));
        QVERIFY(On(m, "LoadFromDbLocal"));
        QVERIFY(!m.LocalMenuItem()->isEnabled());
        for (const char* a : {"LoginWww", "AddInscrit", "AddPhase", "ExportXls", "TriAlphaJoueurs", "DelPhase",
                              "AddMatch", "EditMatch", "Separator"}) {
            QVERIFY2(!On(m, a), a);
        }
        QVERIFY(m.QuitAction()->isEnabled());
        QVERIFY(m.VersionAction()->isEnabled());
        QVERIFY(m.ExportInscritsAction()->isEnabled());
        QVERIFY(!m.ReloadAction()->isEnabled());
        QCOMPARE(m.FocusKind(), std::uint8_t(0));
        QCOMPARE(m.ReloadAction()->toolTip(), QStringLiteral("recharger la competition"));
    }

    void titlesAfterADownloadWithoutAndWithLogin() {
        TMainFixture f;
        f.Load(1201, "3bandes", "Finale");
        ui::TMainFrm& m = *f.Main;
        QCOMPARE(m.windowTitle(), QStringLiteral("Tavlor - Internet - (utilisateur non identifié)"));
        QVERIFY(!m.RightPanel()->isHidden());
        QVERIFY(!m.ClassementLbl()->isHidden());
        QVERIFY(On(m, "LoginWww"));
        QCOMPARE(m.NomCompetLbl()->text(), QString::fromStdString(m.Compet().Message()));
        f.Login();
        QCOMPARE(m.windowTitle(), QStringLiteral("Tavlor - Internet - (Jean Dupont (12))"));
    }

    void enablingFollowsTheFocusKind() {
        TMainFixture f;
        f.Load(1201);
        ui::TMainFrm& m = *f.Main;
        // The first node, the registrants folder, has the focus.
        QCOMPARE(m.FocusKind(), std::uint8_t(2));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("Separator"));
        QVERIFY(!On(m, "AddMatch"));
        QVERIFY(On(m, "AddInscrit"));

        const TNodeHandle phase = f.Find(NodePhase, 1);
        f.Focus(phase);
        QCOMPARE(m.FocusKind(), std::uint8_t(0));
        QVERIFY(On(m, "DelPhase") && On(m, "EditPhase") && On(m, "AddPoule"));
        QVERIFY(!On(m, "DelPoule") && !On(m, "AddMatch") && !On(m, "DelInscrit"));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("EditPhase"));
        QCOMPARE(Bound(m.DelBtn()), QStringLiteral("DelPhase"));
        QCOMPARE(Bound(m.SyntheseBtn()), QStringLiteral("Separator"));

        const TNodeHandle pool = f.Find(NodePool, 101);
        f.Focus(pool);
        for (const char* a : {"DelPoule", "EditPoule", "OpenSynthesePoule", "SetFclasstPoule0", "SetFClasstPoule1",
                              "SetFClasstPoule2", "AddPoule", "AddMatch"}) {
            QVERIFY2(On(m, a), a);
        }
        QVERIFY(!On(m, "DelPhase"));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("EditPoule"));
        QCOMPARE(Bound(m.SyntheseBtn()), QStringLiteral("OpenSynthesePoule"));

        const TNodeHandle member = f.Dm->Tree.Child(pool, 0);
        f.Focus(member);
        for (const char* a : {"AddJoueur", "EditJoueur", "DelJoueur", "AddPoule", "AddMatch"}) QVERIFY2(On(m, a), a);
        QVERIFY(!On(m, "DelPoule"));
        QCOMPARE(Bound(m.DelBtn()), QStringLiteral("DelJoueur"));

        // The grid and the match list: the pool member stays the tree's focused
        // node, so AddMatch stays enabled, and AddPoule does not.
        m.EnableActions(5);
        QVERIFY(On(m, "AddMatch"));
        QVERIFY(!On(m, "AddPoule") && !On(m, "EditJoueur"));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("Separator"));
        m.EnableActions(6);
        QVERIFY(On(m, "EditMatch") && On(m, "DelMatch"));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("EditMatch"));
        QCOMPARE(Bound(m.DelBtn()), QStringLiteral("DelMatch"));

        // A pool focused in the tree keeps AddPoule enabled from the grid.
        f.Focus(pool);
        m.EnableActions(5);
        QVERIFY(On(m, "AddPoule"));

        // The same kind twice changes nothing, even after a manual change.
        m.Action(QStringLiteral("DelMatch"))->setEnabled(true);
        m.EnableActions(5);
        QVERIFY(On(m, "DelMatch"));

        const TNodeHandle registrant = f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0);
        f.Focus(registrant);
        QVERIFY(On(m, "DelInscrit") && On(m, "EditInscrit"));
        QCOMPARE(Bound(m.EditBtn()), QStringLiteral("EditInscrit"));
    }

    void afterALoadTheNextFocusAlwaysApplies() {
        TMainFixture f;
        f.Load(1201);
        ui::TMainFrm& m = *f.Main;
        QCOMPARE(m.FocusKind(), std::uint8_t(2));
        f.Www->LoadCompet(1202, "Coupe");
        QCOMPARE(m.FocusKind(), std::uint8_t(7));
        m.FocusFirstNode();
        QCOMPARE(m.FocusKind(), std::uint8_t(2));
    }

    void rankingGridColumnsFollowTheView() {
        TMainFixture f;
        f.Load(1201);
        ui::TMainFrm& m = *f.Main;
        ui::TTableModel& grid = *m.GridModel();
        QCOMPARE(grid.columnCount(), 12);
        const QStringList titles{"Classt", "Classt", "Classt",        "POULE",    "Joueur", "Pts match",
                                 "% Vict", "Moy",    "Points (3.10)", "Reprises", "Série",  "Matchs"};
        for (int c = 0; c < 12; ++c) QCOMPARE(grid.headerData(c, Qt::Horizontal).toString(), titles[c]);
        const int widths[] = {30, 30, 30, 150, 150, 53, 40, 40, 30, 30, 30, 43};
        for (int c = 0; c < 12; ++c) {
            if (!m.GridClasst()->isColumnHidden(c)) QVERIFY(m.GridClasst()->columnWidth(c) >= widths[c]);
            QCOMPARE(grid.Columns()[static_cast<std::size_t>(c)].Width, widths[c]);
        }
        QCOMPARE(grid.data(grid.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        // General view: CG shown, CPO, CPH and the pool hidden.
        QVERIFY(m.GridClasst()->isColumnHidden(0) && m.GridClasst()->isColumnHidden(1));
        QVERIFY(!m.GridClasst()->isColumnHidden(2));
        QVERIFY(m.GridClasst()->isColumnHidden(3));
        QCOMPARE(grid.rowCount(), static_cast<int>(m.Dm().Tables.FiltreJoueurs.RecordCount()));
        QVERIFY(grid.rowCount() > 0);
        QCOMPARE(grid.data(grid.index(0, 2)).toString(), QStringLiteral("1"));
        QCOMPARE(m.ClassementLbl()->text().isEmpty(), false);

        // A registrant: his pools, no name column.
        f.Focus(f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0));
        QVERIFY(!m.GridClasst()->isColumnHidden(3));
        QVERIFY(m.GridClasst()->isColumnHidden(4));
        QVERIFY(m.GridClasst()->isColumnHidden(2));
        // A pool: CPO.
        f.Focus(f.Find(NodePool, 101));
        QVERIFY(!m.GridClasst()->isColumnHidden(0));
        QVERIFY(m.GridClasst()->isColumnHidden(2));
        QCOMPARE(grid.rowCount(), static_cast<int>(m.Dm().Tables.FiltreJoueurs.RecordCount()));
    }

    void matchListGeometry() {
        TMainFixture f;
        f.Load(1201);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
        ui::TMatchList& list = *f.Main->GridMatchs();
        QVERIFY(list.Grid().PanelCount() > 2);
        list.resize(740, 239);
        QCOMPARE(list.PanelColumns(), 1);
        list.resize(741, 239);
        QCOMPARE(list.PanelColumns(), 2);
        QCOMPARE(list.Grid().rowCount(), (list.Grid().PanelCount() + 1) / 2);
        QCOMPARE(list.VisiblePanelRows(), 239 / 52);
        list.resize(741, 40);
        QCOMPARE(list.VisiblePanelRows(), 1);
        list.resize(500, 104);
        QCOMPARE(list.VisiblePanelRows(), 2);
        // The current panel follows the match table's current row.
        list.resize(741, 239);
        list.SetCurrentMatchRow(3);
        QCOMPARE(list.currentIndex().row(), 1);
        QCOMPARE(list.currentIndex().column(), 1);
        TTable& matchs = f.Dm->Tables.FiltreMatchs;
        QCOMPARE(matchs.Bookmark(), list.Matches().BookmarkAt(3));
        list.resize(700, 239);
        QCOMPARE(list.CurrentMatchRow(), 3);
        QCOMPARE(list.currentIndex().row(), 3);
    }

    void circleColoursFollowTheMatchPoints() {
        using D = ui::TMatchPanelDelegate;
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
        QCOMPARE(D::CircleColours(2, 0), std::make_pair(red, blue));
        QCOMPARE(D::CircleColours(0, 2), std::make_pair(blue, red));
        QCOMPARE(D::CircleColours(1, 1), std::make_pair(green, green));
        QCOMPARE(D::CircleColours(0, 0), std::make_pair(green, green));
    }

    void panelsArePaintedWithTheirCircles() {
        TMainFixture f;
        f.Load(1201);
        f.Main->show();
        ui::TMatchList& list = *f.Main->GridMatchs();
        list.resize(500, 120);
        QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
        const QImage shot = list.viewport()->grab().toImage();
        // The first panel's first circle is red, blue or green, never the background.
        TTable* first = list.Matches().ReaderAt(0);
        QVERIFY(first != nullptr);
        const auto [c1, c2] = ui::TMatchPanelDelegate::CircleColours(first->AsInteger("PM1"), first->AsInteger("PM2"));
        bool found1 = false, found2 = false;
        for (int y = 18; y < 54; ++y) {
            for (int x = 2; x < 20; ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (y < 36 && c == c1) found1 = true;
                if (y >= 36 && c == c2) found2 = true;
            }
        }
        QVERIFY(found1);
        QVERIFY(found2);
    }

    void doubleClickOnAPanelRunsEditMatch() {
        TMainFixture f;
        int edits = 0;
        f.Main->Commands().Dialogs.ShowEditMatch = [&] {
            ++edits;
            return false;
        };
        f.Load(1201);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
        ui::TMatchList& list = *f.Main->GridMatchs();
        const QRect r = list.visualRect(list.Grid().IndexOfMatch(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.Main->FocusKind(), std::uint8_t(6));
        QVERIFY(f.Main->Action(QStringLiteral("EditMatch"))->isEnabled());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(edits, 1);
        QCOMPARE(f.Dm->Tables.FiltreMatchs.Bookmark(), list.Matches().BookmarkAt(1));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
