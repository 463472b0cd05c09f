// The main window's commands against the stand-in server, the user's answers
// given by a script.
#include "MainFixture.h"

#include "model/DataPacket.h"
#include "text/Error.h"

#include <QAction>
#include <QComboBox>
#include <QtTest>

#include <filesystem>

using namespace tavlor;
using namespace tavlor::test;

class MainCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainFixture> F;
    ui::TMainCommands& Cmd() { return F->Main->Commands(); }
    TNodeHandle Registrant(int row) { return F->Dm->Tree.Child(F->Dm->RegistrantsNode, row); }
    std::int32_t RankOf(std::int32_t licence) {
        return F->Dm->Tables.Inscrits.Data().Lookup("LICENCE", {licence}).AsInteger("RGA");
    }

private slots:
    void init() {
        F = std::make_unique<TMainFixture>();
        F->Load(1201);
    }
    void cleanup() { F.reset(); }

    void addPhaseNumbersAfterTheLargest() {
        TMainFixture& f = *F;
        Cmd().AddPhase();
        QVERIFY(f.Find(NodePhase, 4) != 0);
        QCOMPARE(f.Text(f.Find(NodePhase, 4)), QStringLiteral("Phase 4"));
        QVERIFY(f.Main->Compet().AddPhase(5, "Cinq"));
        Cmd().AddPhase();
        QCOMPARE(f.Text(f.Find(NodePhase, 6)), QStringLiteral("Phase 6"));
        QVERIFY(f.Boxes.Errors.empty());
        QVERIFY(f.Boxes.Inputs.empty() && f.Boxes.Confirmations.empty());
    }

    void addPhaseWithoutPhasesStartsAtOne() {
        TMainFixture f;  // nothing loaded: no phase at all
        f.Main->Commands().AddPhase();
        QVERIFY(f.Find(NodePhase, 1) != 0);
        QCOMPARE(f.Text(f.Find(NodePhase, 1)), QStringLiteral("Phase 1"));
    }

    void addPouleProposesTheNextLetter() {
        TMainFixture& f = *F;
        f.Login();
        // From a pool member: the member's phase, which holds 3 pools.
        const TNodeHandle pool = f.Find(NodePool, 101);
        f.Focus(f.Dm->Tree.Child(pool, 0));
        f.Boxes.Typed.push_back(std::nullopt);  // Cancel
        Cmd().AddPoule();
        QCOMPARE(f.Boxes.Inputs.back(), std::string("Ajouter une poule|Nom"));
        QCOMPARE(f.Boxes.Defaults.back(), std::string("Phase 1 D"));
        QCOMPARE(f.Dm->Tree.ChildCount(f.Find(NodePhase, 1)), 3);
        // OK adds it with the text as typed, on the server first.
        f.Focus(f.Find(NodePhase, 1));
        f.Boxes.Typed.push_back(std::string("Poule ajoutée"));
        Cmd().AddPoule();
        QCOMPARE(f.Dm->Tree.ChildCount(f.Find(NodePhase, 1)), 4);
        QVERIFY(f.Boxes.Errors.empty());
        // A phase of 26 pools proposes the character after Z.
        QVERIFY(f.Main->Compet().AddPhase(7, "Phase 7"));
        for (int i = 0; i < 26; ++i) QVERIFY(f.Main->Compet().AddPoule(7, 0, "P" + std::to_string(i)));
        f.Focus(f.Find(NodePhase, 7));
        f.Boxes.Typed.push_back(std::nullopt);
        Cmd().AddPoule();
        QCOMPARE(f.Boxes.Defaults.back(), std::string("Phase 7 ["));
        // Refused by the server without login: the text is shown, nothing added.
        f.Main->Compet().SetLogin("");
        f.Boxes.Typed.push_back(std::string("Refusée"));
        Cmd().AddPoule();
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Dm->Tree.ChildCount(f.Find(NodePhase, 7)), 26);
    }

    void editInscritClampsAndSkipsAnUnchangedRank() {
        TMainFixture& f = *F;
        const TNodeHandle second = Registrant(1);
        const std::int32_t licence = f.Dm->Tree.Data(second).Id;
        const auto count = static_cast<std::int32_t>(f.Dm->Tables.Inscrits.Data().RowCount());
        f.Focus(second);
        f.Boxes.Typed.push_back(std::string("-4"));
        Cmd().EditInscrit();
        QCOMPARE(f.Boxes.Inputs.back(), std::string("Modifier le rang d'inscription|Nouveau rang"));
        QCOMPARE(f.Boxes.Defaults.back(), std::string("2"));
        QCOMPARE(RankOf(licence), 1);
        // The tree was sorted: he is now first.
        QCOMPARE(f.Dm->Tree.Data(Registrant(0)).Id, licence);
        f.Boxes.Typed.push_back(std::string("999"));
        Cmd().EditInscrit();
        QCOMPARE(RankOf(licence), count);
        QCOMPARE(f.Dm->Tree.Data(Registrant(count - 1)).Id, licence);
        // Unchanged: nothing is asked of the controller.
        f.Main->Compet().LastError = "inchangé";
        f.Boxes.Typed.push_back(std::to_string(count));
        Cmd().EditInscrit();
        QCOMPARE(f.Main->Compet().LastError, std::string("inchangé"));
        // Not a whole number.
        f.Boxes.Typed.push_back(std::string("2,5"));
        Cmd().EditInscrit();
        QCOMPARE(f.Boxes.TopErrors.back(), std::string("'2,5' n'est pas une valeur entière correcte"));
        QCOMPARE(RankOf(licence), count);
        // Cancel.
        f.Boxes.Typed.push_back(std::nullopt);
        Cmd().EditInscrit();
        QCOMPARE(RankOf(licence), count);
    }

    void editJoueurIsLimitedToThePool() {
        TMainFixture& f = *F;
        const TNodeHandle pool = f.Find(NodePool, 101);
        const TNodeHandle first = f.Dm->Tree.Child(pool, 0);
        const std::int32_t licence = f.Dm->Tree.Data(first).Id;
        f.Focus(first);
        f.Boxes.Typed.push_back(std::string("50"));
        Cmd().EditJoueur();
        QCOMPARE(f.Boxes.Inputs.back(), std::string("Modifier le rang d'arivée dans la poule|Nouveau rang"));
        QCOMPARE(f.Dm->Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {101, licence}).AsInteger("RGA"),
                 f.Dm->Tree.ChildCount(pool));
        QCOMPARE(f.Dm->Tree.Data(f.Dm->Tree.Child(pool, f.Dm->Tree.ChildCount(pool) - 1)).Id, licence);
    }

    void deletionsAskFirstAndCheckEmptinessBefore() {
        TMainFixture& f = *F;
        f.Focus(f.Find(NodePhase, 1));
        Cmd().DelPhase();
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>{"Suppression impossible : la phase doit être vide\r\n"
                                                          "supprimez d'abord les poules contenues"});
        QVERIFY(f.Boxes.Confirmations.empty());
        f.Focus(f.Find(NodePool, 101));
        Cmd().DelPoule();
        QCOMPARE(f.Boxes.Errors.back(), std::string("Suppression impossible : la poule n'est pas vide\r\n"
                                                    "supprimez d'abord les joueurs et/ou matchs attachés"));
        QVERIFY(f.Boxes.Confirmations.empty());
        // An empty phase: the question, then No keeps it, Yes deletes it.
        QVERIFY(f.Main->Compet().AddPhase(8, "Vide"));
        f.Focus(f.Find(NodePhase, 8));
        f.Boxes.Answers = {false, true};
        Cmd().DelPhase();
        QCOMPARE(f.Boxes.Confirmations.back(), std::string("Supprimer la Phase sélectionnée ?"));
        QVERIFY(f.Find(NodePhase, 8) != 0);
        Cmd().DelPhase();
        QVERIFY(f.Find(NodePhase, 8) == 0);
        // A registrant with matches cannot be struck off: the store's text.
        f.Boxes.Clear();
        f.Focus(Registrant(0));
        f.Boxes.Answers = {true};
        Cmd().DelInscrit();
        QCOMPARE(f.Boxes.Confirmations.back(), std::string("Rayer l'inscription du joueur sélectionné ?"));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Errors[0], f.Main->Compet().LastError);
    }

    void delMatch() {
        TMainFixture& f = *F;
        // An empty match list: nothing at all.
        QVERIFY(f.Main->Compet().AddPhase(8, "Vide"));
        f.Focus(f.Find(NodePhase, 8));
        QCOMPARE(f.Dm->Tables.FiltreMatchs.RecordCount(), 0);
        Cmd().DelMatch();
        Cmd().EditMatch();
        QVERIFY(f.Boxes.Confirmations.empty() && f.Boxes.Errors.empty());
        // A pool's first match: refused without login, with the server's text.
        f.Focus(f.Find(NodePool, 101));
        TTable& matchs = f.Dm->Tables.FiltreMatchs;
        matchs.First();
        const std::int32_t number = matchs.AsInteger("IDMATCH");
        const std::string question =
            "Supprimer le match :\r\n" + matchs.AsString("NOM1") + " vs " + matchs.AsString("NOM2");
        Cmd().DelMatch();
        QCOMPARE(f.Boxes.Confirmations.back(), question);
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QVERIFY(f.Dm->Tables.Matchs.Data().Lookup("IDMATCH", {number}));
        // Logged in: deleted, and the view recomputed.
        f.Login();
        const int before = matchs.RecordCount();
        Cmd().DelMatch();
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QVERIFY(!f.Dm->Tables.Matchs.Data().Lookup("IDMATCH", {number}));
        QCOMPARE(matchs.RecordCount(), before - 1);
        QCOMPARE(f.Main->GridMatchs()->Grid().PanelCount(), before - 1);
    }

    void formulasRepaintThePool() {
        TMainFixture& f = *F;
        f.Login();
        const TNodeHandle pool = f.Find(NodePool, 101);
        f.Focus(pool);
        QSignalSpy repaint(&f.Model(), &QAbstractItemModel::dataChanged);
        f.Main->Action(QStringLiteral("SetFClasstPoule2"))->trigger();
        QCOMPARE(f.Dm->Tables.Poules.Data().Lookup("IDPOULE", {101}).AsInteger("FCLASST"), 2);
        QVERIFY(repaint.count() >= 1);
        f.Main->Compet().SetLogin("");
        f.Main->Action(QStringLiteral("SetFClasstPoule1"))->trigger();
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Dm->Tables.Poules.Data().Lookup("IDPOULE", {101}).AsInteger("FCLASST"), 2);
        // The pool summary opens in the browser.
        f.Main->Action(QStringLiteral("OpenSynthesePoule"))->trigger();
        QCOMPARE(f.Shell.Urls.back(), f.Server.BaseUrl("3bandes") + "/ranking/printpoules.php?param1=101");
    }

    void registrantFileNameAndExtension() {
        TMainFixture& f = *F;
        f.Main->Compet().SetMessage("Coupe 1/2 : finale");
        f.Boxes.Chosen.push_back(f.Dir.File("mes inscrits.txt"));
        f.Main->ExportInscritsAction()->trigger();
        QCOMPARE(f.Boxes.Files.back(),
                 "fichiers xml|*.xml|tous fichiers|*.*|" + f.Dir.File("inscrits_Coupe 1_2 _ finale.xml"));
        QVERIFY(std::filesystem::exists(f.Dir.File("mes inscrits.xml")));
        QVERIFY(!std::filesystem::exists(f.Dir.File("mes inscrits.txt")));
        // Read back by the program: the same registrants.
        const auto count = f.Dm->Tables.Inscrits.Data().RowCount();
        TTable back("tmp", {});
        LoadDataPacketFile(f.Dir.File("mes inscrits.xml"), back);
        QCOMPARE(static_cast<std::size_t>(back.RecordCount()), count);
        // Imported again: nothing doubles.
        f.Boxes.Chosen.push_back(f.Dir.File("mes inscrits.xml"));
        f.Main->ImportInscritsAction()->trigger();
        QCOMPARE(f.Boxes.Files.back().substr(0, 40), std::string("fichiers xml|*.xml|tous les fichiers|*.*"));
        QCOMPARE(f.Dm->Tables.Inscrits.Data().RowCount(), count);
    }

    void emptyRegistrantListIsNotExported() {
        TMainFixture f;
        f.Load(4202, "libre");
        f.Dm->Tables.Inscrits.EmptyTable();
        f.Main->ExportInscritsAction()->trigger();
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>{"Export impossible\rLa liste des inscrits est vide"});
        QVERIFY(f.Boxes.Files.empty());
    }

    void reloadNeedsACompetitionNumberAboveZero() {
        TMainFixture& f = *F;
        int reloads = 0;
        Cmd().Dialogs.ReloadCompet = [&] { ++reloads; };
        Cmd().Reload();
        QCOMPARE(reloads, 1);
        f.Main->Compet().SetIdCompet(0);
        Cmd().Reload();
        QCOMPARE(reloads, 1);
    }

    void openingFromTheAddressBox() {
        TMainFixture& f = *F;
        std::string asked;
        Cmd().Dialogs.ChooseCompetWww = [&](const std::string& url) {
            asked = url;
            f.Www->SetBaseUrl(url);
            f.Www->LoadCompet(1202, "Coupe régionale");
            return true;
        };
        f.Main->Adresse()->setCurrentIndex(0);
        Cmd().LoadFromInternet();
        QCOMPARE(asked, f.Server.BaseUrl("3bandes"));
        QVERIFY(f.Main->ReloadAction()->isEnabled());
        QCOMPARE(f.Main->RecentCompets()[0].IdCompet, 1202);
        QCOMPARE(f.Main->RecentCompets()[0].url, f.Server.BaseUrl("3bandes"));
        QCOMPARE(f.Main->Adresse()->itemText(4), QString::fromStdString(f.Main->Compet().Message()));
        QCOMPARE(f.Main->FocusKind(), std::uint8_t(2));
        // The recent entry opens that competition directly, and is selected again at the head.
        f.Main->AddRecentCompet(f.Server.BaseUrl("cadre"), "Cadre", 2201);
        f.Main->Adresse()->setCurrentIndex(5);
        Cmd().LoadFromInternet();
        QCOMPARE(f.Main->Compet().IdCompet(), 1202);
        QCOMPARE(f.Main->Adresse()->currentIndex(), 4);
        QCOMPARE(f.Main->RecentCompets()[0].IdCompet, 1202);
        QCOMPARE(f.Main->RecentCompets()[1].IdCompet, 2201);
        // The first node was focused, so the right-hand side shows this competition.
        QCOMPARE(f.Tree().FocusedNode(), f.Dm->Tree.FirstTopLevel());
        // A server that does not answer: the error, and without a competition the reload button goes off.
        f.Server.Stop();
        f.Main->Compet().SetIdCompet(-1);
        f.Main->Adresse()->setCurrentIndex(4);
        QVERIFY(!Cmd().Run([&] { Cmd().LoadFromInternet(); }));
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(!f.Main->ReloadAction()->isEnabled());
    }

    void aSecondCommandWhileOneRunsIsRefused() {
        TMainFixture& f = *F;
        int inner = 0;
        QVERIFY(Cmd().Run([&] { QVERIFY(!Cmd().Run([&] { ++inner; })); }));
        QCOMPARE(inner, 0);
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        // An error inside a command ends it in the top-level display, and the next runs.
        QVERIFY(!Cmd().Run([] { throw Error("Panne"); }));
        QCOMPARE(f.Boxes.TopErrors.back(), std::string("Panne"));
        QVERIFY(Cmd().Run([&] { ++inner; }));
        QCOMPARE(inner, 1);
    }

    void addJoueurOffersTheRegistrantsNotInThePhase() {
        TMainFixture& f = *F;
        QVERIFY(f.Main->Compet().AddPhase(9, "Barrages"));
        f.Login();
        std::int32_t pool = -1;
        QVERIFY(f.Main->Compet().AddPoule(9, 0, "Barrage", &pool));
        f.Focus(f.Find(NodePool, pool));
        const std::string name = f.Dm->Tables.Inscrits.Data().Lookup("RGA", {1}).AsString("NOM");
        const std::int32_t licence = f.Dm->Tables.Inscrits.Data().Lookup("RGA", {1}).AsInteger("LICENCE");
        f.Boxes.Typed.push_back(name + " (" + QString::asprintf("%06d", licence).toStdString() + ")");
        Cmd().AddJoueur();
        QCOMPARE(f.Boxes.Choices.size(), f.Dm->Tables.Inscrits.Data().RowCount());
        QCOMPARE(f.Dm->Tree.ChildCount(f.Find(NodePool, pool)), 1);
        // He is no longer offered.
        f.Boxes.Typed.push_back(std::nullopt);
        Cmd().AddJoueur();
        QCOMPARE(f.Boxes.Choices.size(), f.Dm->Tables.Inscrits.Data().RowCount() - 1);
    }
};

QTEST_MAIN(MainCommandsTest)
#include "MainCommandsTest.moc"
