// A whole match day, as an organiser goes through it, with the real program
// (every window and dialog) against the stand-in server: open a competition
// from the list, browse, log in, change pools and matches, register players,
// put them into pools, export, quit, and find everything again at the next start.
#include "DialogFixture.h"
#include "commands/CommandState.h"
#include "commands/Commands.h"
#include "commands/Settings.h"
#include "fedserver/FedData.h"
#include "fedserver/FedServer.h"
#include "model/DataPacket.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/ScriptedBoxes.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "ui/dialogs/ConnectionFrm.h"
#include "ui/dialogs/GetListFrm.h"
#include "ui/dialogs/MatchFrm.h"
#include "ui/main/MainFrm.h"
#include "ui/main/MatchList.h"
#include "ui/main/PhaseTree.h"
#include "ui/main/Program.h"
#include "ui/models/PhaseTreeModel.h"
#include "ui/models/TableListModel.h"
#include "ui/models/TableModel.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

using namespace tavlor;
using namespace tavlor::test;

class MatchDayTest : public QObject {
    Q_OBJECT

    fedserver::TFedServer Server;
    fedserver::TFederation Federation = fedserver::MakeFederation(false);
    TTempDir Dir;
    TScriptedBoxes Boxes;
    TFakeShell Shell;
    QStringList Addresses;
    std::unique_ptr<ui::TProgram> P;

    void Start() {
        P = std::make_unique<ui::TProgram>(QString::fromStdString(Dir.File("tavlor")), &Boxes, &Shell, &Addresses);
        P->Main().resize(1100, 720);
        P->Show();
    }
    ui::TMainFrm& M() { return P->Main(); }
    TdmLocal& Dm() { return P->Dm(); }
    void Trigger(TCommandId id) { M().Action(id)->trigger(); }
    TNodeHandle Find(std::uint8_t kind, std::int32_t id, TNodeHandle under = 0) {
        for (TNodeHandle c : Dm().Tree.Children(under)) {
            if (Dm().Tree.Data(c).Kind == kind && Dm().Tree.Data(c).Id == id) return c;
            if (TNodeHandle f = Find(kind, id, c)) return f;
        }
        return 0;
    }
    TNodeHandle PoolNamed(const std::string& name) {
        const TRowView row = [&] {
            std::unique_ptr<TTable> pools = Dm().Tables.Poules.Clone();
            for (pools->First(); !pools->Eof(); pools->Next()) {
                if (pools->AsString("NOMPOULE") == name)
                    return Dm().Tables.Poules.Data().Lookup("IDPOULE", {pools->AsInteger("IDPOULE")});
            }
            return TRowView();
        }();
        return row ? Find(NodePool, row.AsInteger("IDPOULE")) : 0;
    }
    void Focus(TNodeHandle node) { M().TreePhases()->FocusNode(node); }
    // A click on a match panel, as the user makes it current.
    void ClickPanel(int match) {
        M().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&M()));
        ui::TMatchList& list = *M().GridMatchs();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualRect(list.Grid().IndexOfMatch(match)).center());
        QCOMPARE(list.CurrentMatchRow(), match);
    }
    template <class T>
    T* Child(QWidget* in, const char* name) {
        T* w = in->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    void Type(QWidget* in, const char* name, int value) {
        auto* e = Child<QLineEdit>(in, name);
        e->setText(QString::number(value));
        emit e->editingFinished();
    }
    void Choose(QWidget* in, const char* name, std::int32_t licence) {
        auto* box = Child<QComboBox>(in, name);
        box->setCurrentIndex(box->findData(licence, ui::TTableListModel::ValueRole));
    }
    // A match typed into the match dialog, then OK.
    void EnterMatch(std::int32_t l1, int pts1, int rep, std::int32_t l2, int pts2, int pm1) {
        QWidget* m = &P->Match();
        Choose(m, "Licence1", l1);
        Choose(m, "Licence2", l2);
        Type(m, "Pts1", pts1);
        Type(m, "Rep1", rep);
        Type(m, "Ser1", 3);
        Type(m, "Pts2", pts2);
        Type(m, "Rep2", rep);
        Type(m, "Ser2", 2);
        Child<QComboBox>(m, "Pm1")->setCurrentIndex(pm1);
        P->Match().SaveEntry();
    }
    std::string RunPython(const std::string& file) {
        const std::string script = std::string(TAVLOR_TEST_DATA_DIR) + "/../workbook/read_xls.py";
        std::string out;
        if (FILE* pipe = popen(("/usr/bin/python3 '" + script + "' '" + file + "'").c_str(), "r")) {
            char buffer[4096];
            while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
            pclose(pipe);
        }
        return out;
    }

private slots:
    void initTestCase() {
        Server.Start(0);
        for (const char* d : {"3bandes", "cadre", "bande", "libre"})
            Addresses << QString::fromStdString(Server.BaseUrl(d));
    }
    void cleanupTestCase() {
        P.reset();
        Server.Stop();
    }

    void aWholeDay() {
        TModalWatchdog watchdog(60000);
        Start();

        // ---- open the competition from the server's list
        M().Adresse()->setCurrentIndex(0);
        auto pick = WhenShown(&P->Lists(), [this] {
            P->Lists().SetCurrentRow(1);
            P->Lists().LoadChosenCompetition();
        });
        Trigger(TCommandId::LoadFromInternet);
        QCOMPARE(P->Compet().IdCompet(), 1201);
        QVERIFY(M().Action(TCommandId::ReloadCompet)->isEnabled());
        QCOMPARE(P->Settings().RecentCompets()[0].IdCompet, 1201);
        QCOMPARE(M().TreePhases()->FocusedNode(), Dm().Tree.FirstTopLevel());
        QVERIFY(M().GridModel()->rowCount() > 0);
        QCOMPARE(M().GridMatchs()->Grid().PanelCount(), 30);

        // ---- browse every kind of element
        const TNodeHandle phase1 = Find(NodePhase, 1), phase3 = Find(NodePhase, 3);
        const TNodeHandle pool101 = Find(NodePool, 101);
        for (TNodeHandle n : {phase1, pool101, Dm().Tree.Child(pool101, 0), Dm().Tree.Child(Dm().RegistrantsNode, 0)}) {
            Focus(n);
            QVERIFY(M().GridModel()->rowCount() > 0);
            QVERIFY(M().GridMatchs()->Grid().PanelCount() > 0);
        }

        // ---- log in
        auto login = WhenShown(&P->Connection(), [this] {
            Child<QLineEdit>(&P->Connection(), "LogEdit")->setText(QStringLiteral("12"));
            Child<QLineEdit>(&P->Connection(), "PassEdit")->setText(QStringLiteral("carambole"));
            P->Connection().LoginClicked();
        });
        Trigger(TCommandId::LoginWww);
        QCOMPARE(M().windowTitle(), QStringLiteral("Tavlor - Internet - (Jean Dupont (12))"));

        // ---- pools: add two, delete one, rename, move and set the formula of the other
        Focus(phase1);
        Boxes.Typed = {std::string("Poule du jour"), std::string("Poule en trop")};
        Trigger(TCommandId::AddPoule);
        Trigger(TCommandId::AddPoule);
        const TNodeHandle extra = PoolNamed("Poule en trop");
        QVERIFY(extra != 0);
        Focus(extra);
        Boxes.Answers = {true};
        Trigger(TCommandId::DelPoule);
        QCOMPARE(PoolNamed("Poule en trop"), 0);
        const TNodeHandle ours = PoolNamed("Poule du jour");
        QVERIFY(ours != 0);
        const std::int32_t ourPool = Dm().Tree.Data(ours).Id;
        QVERIFY(M().TreeModel()->setData(M().TreeModel()->IndexOf(ours), QStringLiteral("Barrage")));
        QVERIFY(M().TreeModel()->Drop(phase3, P->Commands().DragObjectOf(ours)));
        QCOMPARE(Dm().Tree.Parent(ours), phase3);
        Focus(ours);
        Trigger(TCommandId::SetFClasstPoule1);
        QVERIFY2(Boxes.Errors.empty(), Boxes.Errors.empty() ? "" : Boxes.Errors[0].c_str());

        // ---- register a newcomer from the player search
        std::set<std::int32_t> registered;
        for (TNodeHandle r : Dm().Tree.Children(Dm().RegistrantsNode)) registered.insert(Dm().Tree.Data(r).Id);
        const fedserver::TRosterPlayer* newcomer = nullptr;
        for (const auto& p : Federation.Players) {
            if (!registered.count(p.Licence)) newcomer = &p;
        }
        QVERIFY(newcomer != nullptr);
        Trigger(TCommandId::AddInscrit);
        QVERIFY(P->Lists().isVisible());
        auto* nom = Child<QLineEdit>(&P->Lists(), "NomEdit");
        nom->setText(QString::fromStdString(newcomer->Nom).left(4));
        QTest::keyClick(nom, Qt::Key_Return);
        int row = -1;
        for (int r = 1; r < P->Lists().Grid().RowCount(); ++r) {
            if (P->Lists().Grid().Cell(0, r) == std::to_string(newcomer->Licence)) row = r;
        }
        QVERIFY(row > 0);
        P->Lists().SetCurrentRow(row);
        Child<QPushButton>(&P->Lists(), "InscrireBtn")->click();
        P->Lists().reject();
        const TNodeHandle newcomerNode = Find(NodeRegistrant, newcomer->Licence);
        QVERIFY(newcomerNode != 0);

        // ---- put him, and a player of the final, into our pool (phase 3)
        QVERIFY(M().TreeModel()->Drop(ours, P->Commands().DragObjectOf(newcomerNode)));
        std::int32_t other = -1;
        for (TNodeHandle r : Dm().Tree.Children(Dm().RegistrantsNode)) {
            const std::int32_t licence = Dm().Tree.Data(r).Id;
            bool inPhase3 = false;
            for (TNodeHandle pl : Dm().Tree.Children(phase3)) {
                for (TNodeHandle mm : Dm().Tree.Children(pl)) inPhase3 |= Dm().Tree.Data(mm).Id == licence;
            }
            if (!inPhase3 && licence != newcomer->Licence) other = licence;
        }
        TDragParamTable gridRow;
        gridRow.DragKind = DragGridRow;
        gridRow.DragId = other;
        QVERIFY(M().TreeModel()->Drop(ours, gridRow));
        QCOMPARE(Dm().Tree.ChildCount(ours), 2);
        QVERIFY2(Boxes.Errors.empty(), Boxes.Errors.empty() ? "" : Boxes.Errors[0].c_str());

        // ---- matches: add two, correct one, delete the other
        Focus(ours);
        auto first = WhenShown(&P->Match(), [&] { EnterMatch(newcomer->Licence, 30, 20, other, 25, 2); });
        Trigger(TCommandId::AddMatch);
        QCOMPARE(M().GridMatchs()->Grid().PanelCount(), 1);
        auto second = WhenShown(&P->Match(), [&] { EnterMatch(other, 30, 25, newcomer->Licence, 12, 2); });
        Trigger(TCommandId::AddMatch);
        QCOMPARE(M().GridMatchs()->Grid().PanelCount(), 2);
        QVERIFY2(Boxes.Errors.empty(), Boxes.Errors.empty() ? "" : Boxes.Errors[0].c_str());
        ClickPanel(0);
        QCOMPARE(P->State().FocusKind(), TFocusKind::Matches);
        const std::int32_t corrected = Dm().Tables.FiltreMatchs.AsInteger("IDMATCH");
        auto fix = WhenShown(&P->Match(), [&] {
            Type(&P->Match(), "Pts1", Dm().Tables.FiltreMatchs.AsInteger("PTS1") + 1);
            P->Match().SaveEntry();
        });
        const std::int32_t oldPts = Dm().Tables.FiltreMatchs.AsInteger("PTS1");
        Trigger(TCommandId::EditMatch);
        QCOMPARE(Dm().Tables.Matchs.Data().Lookup("IDMATCH", {corrected}).AsInteger("PTS1"), oldPts + 1);
        ClickPanel(1);
        const std::int32_t deleted = Dm().Tables.FiltreMatchs.AsInteger("IDMATCH");
        QVERIFY(deleted != corrected);
        Boxes.Answers = {true};
        Trigger(TCommandId::DelMatch);
        QCOMPARE(M().GridMatchs()->Grid().PanelCount(), 1);
        // The ranking of our pool: the newcomer's win counts.
        QCOMPARE(M().GridModel()->rowCount(), 2);

        // ---- a phase renamed by hand (kept in memory and in the snapshot only)
        QVERIFY(M().TreeModel()->setData(M().TreeModel()->IndexOf(phase3), QStringLiteral("Finale du jour")));

        // ---- exports of what is shown, and of the registrants
        Focus(Dm().Tree.FirstTopLevel());
        Trigger(TCommandId::ExportXls);
        Trigger(TCommandId::ExportHtml);
        QCOMPARE(Shell.Files.size(), std::size_t(2));
        const std::string xls = Shell.Files[0];
        QVERIFY(std::filesystem::exists(xls));
        QVERIFY(std::filesystem::exists(Shell.Files[1]));
        const std::string read = RunPython(xls);
        QVERIFY2(read.find("sheet\t0\tClassement\t") != std::string::npos, read.substr(0, 300).c_str());
        QVERIFY(read.find("sheet\t1\tMatchs\t") != std::string::npos);
        QVERIFY(read.find(newcomer->Nom) != std::string::npos);
        Boxes.Chosen.push_back(Dir.File("inscrits du jour.xml"));
        M().Action(TCommandId::ExportInscrits)->trigger();
        TTable back("tmp", {});
        LoadDataPacketFile(Dir.File("inscrits du jour.xml"), back);
        QCOMPARE(static_cast<std::size_t>(back.RecordCount()), Dm().Tables.Inscrits.Data().RowCount());
        Boxes.Chosen.push_back(Dir.File("inscrits du jour.xml"));
        M().Action(TCommandId::ImportInscrits)->trigger();
        QCOMPARE(static_cast<std::size_t>(back.RecordCount()), Dm().Tables.Inscrits.Data().RowCount());
        QVERIFY2(Boxes.TopErrors.empty(), Boxes.TopErrors.empty() ? "" : Boxes.TopErrors[0].c_str());
        QVERIFY2(Boxes.Errors.empty(), Boxes.Errors.empty() ? "" : Boxes.Errors[0].c_str());

        // ---- quit, and start again the next morning
        M().Action(TCommandId::Quit)->trigger();
        P->Close();
        P.reset();
        QVERIFY(std::filesystem::exists(Dir.File("tavlor.ini")));
        Start();
        QCOMPARE(M().Adresse()->itemText(4), QString::fromStdString(P->Settings().RecentCompets()[0].NomCompet));
        QCOMPARE(P->Settings().RecentCompets()[0].IdCompet, 1201);
        M().Adresse()->setCurrentIndex(4);
        M().Adresse()->activated(4);
        QCOMPARE(P->Compet().IdCompet(), 1201);
        // The server kept the pool changes and the matches...
        const TNodeHandle again = Find(NodePool, ourPool);
        QVERIFY(again != 0);
        QCOMPARE(Dm().Tree.Parent(again), Find(NodePhase, 3));
        QCOMPARE(Dm().Tables.Poules.Data().Lookup("IDPOULE", {ourPool}).AsString("NOMPOULE"), std::string("Barrage"));
        QCOMPARE(Dm().Tables.Poules.Data().Lookup("IDPOULE", {ourPool}).AsInteger("FCLASST"), 1);
        QCOMPARE(PoolNamed("Poule en trop"), 0);
        QCOMPARE(Dm().Tables.Matchs.Data().Lookup("IDMATCH", {corrected}).AsInteger("PTS1"), oldPts + 1);
        QVERIFY(!Dm().Tables.Matchs.Data().Lookup("IDMATCH", {deleted}));
        // ... and the snapshot the hand-made changes.
        QCOMPARE(QString::fromStdString(Dm().GetNomElement({NodePhase, 3, -1})), QStringLiteral("Finale du jour"));
        QVERIFY(Find(NodeRegistrant, newcomer->Licence) != 0);
        QCOMPARE(Dm().Tree.ChildCount(again), 2);
        QCOMPARE(M().TreePhases()->FocusedNode(), Dm().Tree.FirstTopLevel());
        QVERIFY(!watchdog.Fired);
        P->Close();
    }
};

QTEST_MAIN(MatchDayTest)
#include "MatchDayTest.moc"
