// The local base in the real program: opened at the start in the data
// folder (a damaged one set aside, one that cannot be opened told), every
// download kept there with its server's address, and every change after it.
#include "MainFixture.h"

#include "export/Export.h"
#include "model/LocalBase.h"
#include "model/LocalBaseMessages.h"
#include "model/dbFb.h"
#include "model/dbFbMessages.h"
#include "ui/DialogFixture.h"
#include "ui/dialogs/GetListFrm.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace tavlor;
using namespace tavlor::test;

namespace {

// Everything the window shows of the open competition: every node's columns,
// and for each node focused in turn the captions, the ranking grid and the
// match list, cell by cell.
QStringList Shown(TMainFixture& f) {
    QStringList shown;
    shown << f.Main->NomCompetLbl()->text();
    std::vector<TNodeHandle> nodes;
    std::function<void(TNodeHandle)> walk = [&](TNodeHandle parent) {
        for (TNodeHandle child : f.Dm->Tree.Children(parent)) {
            nodes.push_back(child);
            walk(child);
        }
    };
    walk(0);
    for (TNodeHandle node : nodes) {
        QString line;
        for (int c = 0; c < f.Model().columnCount(); ++c) line += f.Text(node, c) + u'|';
        shown << line;
        f.Focus(node);
        shown << f.Main->ClassementLbl()->text() << f.Main->MatchsLbl()->text();
        const QAbstractItemModel& grid = *f.Main->GridModel();
        for (int r = 0; r < grid.rowCount(); ++r) {
            QString row;
            for (int c = 0; c < grid.columnCount(); ++c) row += grid.index(r, c).data().toString() + u'|';
            shown << row;
        }
        ui::TTableModel& matches = f.Main->GridMatchs()->Matches();
        for (int r = 0; r < matches.rowCount(); ++r) {
            QString row;
            for (int c = 0; c < matches.columnCount(); ++c) row += matches.index(r, c).data().toString() + u'|';
            shown << row;
        }
    }
    return shown;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The base as another program reads it.
std::optional<TLocalCompet> Held(const std::string& path, std::int32_t id) {
    TLocalBase base;
    base.Open(path);
    return base.Find(id);
}

}  // namespace

class LocalBaseTest : public QObject {
    Q_OBJECT

private slots:
    void everyDownloadAndEveryChangeAfterItIsKeptInTheBase() {
        TMainFixture f;
        TdmFb& fb = f.Program->Fb();
        QVERIFY(fb.IsOpen());
        QCOMPARE(fb.BasePath(), f.Dir.File("tavlor.db"));
        f.Load(1201);
        auto held = fb.FindCompetDb(1201);
        QVERIFY(held.has_value());
        QCOMPARE(held->Origin, f.Server.BaseUrl("3bandes"));
        QCOMPARE(held->Title, f.Compet->Message());
        QCOMPARE(held->Matches, f.Dm->Tables.Matchs.RecordCount());
        // A change by hand reaches the base shortly after.
        QVERIFY(f.Compet->AddInscrit(777, -1, "NOUVEAU Léo"));
        QVERIFY(fb.Unstored());
        QTRY_VERIFY(!fb.Unstored());
        QCOMPARE(fb.FindCompetDb(1201)->Registrants, held->Registrants + 1);
        // Another competition: the first stays, the second is added.
        f.Load(2201, "cadre");
        QCOMPARE(fb.FindCompetDb(2201)->Origin, f.Server.BaseUrl("cadre"));
        QCOMPARE(fb.FindCompetDb(1201)->Registrants, held->Registrants + 1);
        QVERIFY(f.Boxes.Errors.empty());
    }

    void aChangeMadeJustBeforeAnotherDownloadOrTheEndIsKept() {
        TMainFixture f;
        f.Load(1201);
        const std::int32_t registrants = f.Program->Fb().FindCompetDb(1201)->Registrants;
        QVERIFY(f.Compet->AddInscrit(777, -1, "NOUVEAU Léo"));
        f.Load(1202);
        QCOMPARE(f.Program->Fb().FindCompetDb(1201)->Registrants, registrants + 1);
        QVERIFY(f.Compet->AddInscrit(778, -1, "DERNIER Max"));
        const std::int32_t before = f.Program->Fb().FindCompetDb(1202)->Registrants;
        f.Stop();
        QCOMPARE(Held(f.Dir.File("tavlor.db"), 1202)->Registrants, before + 1);
    }

    void aCopyOpenedFromTheBaseSaysSoAndItsDateInTheTitleAndRefusesChanges() {
        TMainFixture f;
        TdmFb& fb = f.Program->Fb();
        fb.Now = [] { return 46000.75; };  // 9 December 2025, 18:00
        f.Load(1201);
        f.Login();
        QCOMPARE(f.Main->windowTitle(), QStringLiteral("Tavlor - Internet - (Jean Dupont (12))"));
        fb.LoadCompetDb(1201, "");
        f.Main->FocusFirstNode();
        QCOMPARE(f.Main->windowTitle(),
                 QStringLiteral("Tavlor - base locale - copie locale du 09/12/2025 à 18:00 (lecture seule)"));
        QVERIFY(!f.Action(TCommandId::LoginWww)->isEnabled());
        // A change asked from the window: refused, saying where to make it.
        f.Action(TCommandId::AddPhase)->trigger();
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>{msg::dbfb::ReadOnlyCopy(f.Server.BaseUrl("3bandes"))});
        // Downloaded again: the server's competition, as before.
        f.Load(1201);
        QCOMPARE(f.Main->windowTitle(), QStringLiteral("Tavlor - Internet - (utilisateur non identifié)"));
    }

    void aCopyOpensFromTheBaseWithTheServerStoppedAndShowsWhatTheDownloadShowed() {
        TMainFixture f;
        f.Load(1201, "3bandes", "Finale");
        const QStringList downloaded = Shown(f);
        QVERIFY(downloaded.size() > 100);
        f.Focus(f.Find(NodePool, 101));
        f.Action(TCommandId::ExportHtml)->trigger();
        const std::string exported = f.Program->Export().GetNomFichierExport(".html");
        const std::string page = FileText(exported);
        QVERIFY(!page.empty());
        std::filesystem::remove(exported);
        const auto recent = f.Settings().RecentCompets();
        const int address = f.Main->Adresse()->currentIndex();

        f.Server.Stop();
        bool listed = false;
        TModalWatchdog watchdog;
        auto when = WhenShown(&f.Program->Lists(), [&] {
            const TTextGrid& grid = f.Program->Lists().Grid();
            listed = grid.RowCount() == 2 && grid.Cell(4, 1) == "1201";
            QTest::keyClick(f.Program->Lists().findChild<QTableView*>(QStringLiteral("Grid")), Qt::Key_Return);
        });
        f.Action(TCommandId::LoadFromDbLocal)->trigger();
        QVERIFY(listed);
        QVERIFY(!watchdog.Fired);
        QCOMPARE(f.Compet->Connexion, TConnexion::LocalBase);
        QVERIFY(f.Boxes.Errors.empty() && f.Boxes.TopErrors.empty());
        // The first node focused, as after a download.
        QCOMPARE(f.Tree().FocusedNode(), f.Dm->Tree.FirstTopLevel());
        QCOMPARE(Shown(f), downloaded);
        f.Focus(f.Find(NodePool, 101));
        f.Action(TCommandId::ExportHtml)->trigger();
        QCOMPARE(FileText(exported), page);
        // A copy is reopened from its server: the recent list and the address box are left alone.
        QCOMPARE(f.Settings().RecentCompets(), recent);
        QCOMPARE(f.Main->Adresse()->currentIndex(), address);
    }

    void aDamagedBaseIsSetAsideAndToldAtTheStart() {
        TMainFixture f({}, false);
        std::ofstream(f.Dir.File("tavlor.db")) << "Ceci n'est pas une base.";
        f.Start();
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        const std::string& told = f.Boxes.Errors[0];
        QVERIFY(told.rfind("La base locale " + f.Dir.File("tavlor.db") + " était endommagée", 0) == 0);
        QVERIFY(told.find(f.Dir.File("tavlor.db.endommagé-")) != std::string::npos);
        QVERIFY(f.Program->Fb().IsOpen());
        f.Load(1201);
        QVERIFY(f.Program->Fb().FindCompetDb(1201).has_value());
    }

    void aBaseThatCannotBeOpenedIsToldAndTheProgramWorksWithoutIt() {
        TMainFixture f({}, false);
        {
            TLocalBase newer;
            newer.Open(f.Dir.File("tavlor.db"));
            newer.Connection().Exec("PRAGMA user_version = 9");
        }
        f.Start();
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>{msg::localbase::NewerSchema(f.Dir.File("tavlor.db"), 9)});
        QVERIFY(!f.Program->Fb().IsOpen());
        f.Load(1201);
        QCOMPARE(f.Dm->Tables.Matchs.RecordCount(), 30);
    }
};

QTEST_MAIN(LocalBaseTest)
#include "LocalBaseTest.moc"
