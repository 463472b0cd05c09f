// The match dialog against the stand-in server: opening in both modes, the
// automatic behaviours, the rules in their order and the controller's refusals.
#include "ui/MatchFrm.h"

#include "ranking/Views.h"
#include "text/DateTime.h"
#include "ui/DialogFixture.h"
#include "ui/TableListModel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;
using tavlor::ui::TMatchFrm;
using Texts = std::vector<std::string>;

namespace {

const std::string Draw =
    "pour le classement national l'égalité de point correspond obligatoirement à un match nul SAUF dans le cas de "
    "matchs par sets\r\nNe validez (OK) que Si cette partie était en sets, sinon annulez puis indiquez le nombre de "
    "points effectivement réalisés après d'éventuelles prolongations";
const std::string Player1More =
    "Le joueur 1 a réalisé plus de points que le joueur 2 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
const std::string Player2More =
    "Le joueur 2 a réalisé plus de points que le joueur 1 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
const std::string NoBilliards = "aucune liste de billard en cours, vous ne pouvez pas ajouter ou modifier des matchs";

}  // namespace

class MatchFrmTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TDialogWorld> W;
    std::unique_ptr<TMatchFrm> Frm;
    std::vector<std::string> TopErrors;
    std::int32_t PoolA = 101, L1 = 0, L2 = 0, L3 = 0;

    template <class T>
    T* Child(const char* name) {
        T* w = Frm->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    // A text put into a number field and the field left.
    void Type(const char* name, const QString& text) {
        QLineEdit* e = Child<QLineEdit>(name);
        e->setText(text);
        emit e->editingFinished();
    }
    QString Text(const char* name) { return Child<QLineEdit>(name)->text(); }
    void ChoosePlayer(const char* name, std::int32_t licence) {
        QComboBox* box = Child<QComboBox>(name);
        const int row = box->findData(licence, ui::TTableListModel::ValueRole);
        QVERIFY2(row >= 0, "player not offered");
        box->setCurrentIndex(row);
    }
    void ChoosePoints(const char* name, int points) { Child<QComboBox>(name)->setCurrentIndex(points); }
    // A whole entry, as typed.
    void Fill(std::int32_t lic1, int pts1, int rep1, int ser1, int pm1, std::int32_t lic2, int pts2, int rep2, int ser2,
              int pm2) {
        ChoosePlayer("Licence1", lic1);
        Type("Pts1", QString::number(pts1));
        Type("Rep1", QString::number(rep1));
        Type("Ser1", QString::number(ser1));
        ChoosePlayer("Licence2", lic2);
        Type("Pts2", QString::number(pts2));
        Type("Rep2", QString::number(rep2));
        Type("Ser2", QString::number(ser2));
        ChoosePoints("Pm1", pm1);
        ChoosePoints("Pm2", pm2);
    }
    void Ok() { Child<QPushButton>("SauveBtn")->click(); }
    int MatchesOfPool(std::int32_t pool) { return W->Rows(W->Dm.Tables.Matchs, "IDPOULE = " + std::to_string(pool)); }
    bool OpenAdd(std::int32_t pool, std::int32_t licence = -1) {
        if (!Frm->PrepareAdd(pool, licence)) return false;
        Frm->show();
        return true;
    }

private slots:
    void initTestCase() {
        W = std::make_unique<TDialogWorld>();
        Frm = std::make_unique<TMatchFrm>(W->Compet, W->Dm, W->Boxes);
        Frm->TopLevelError = [this](const std::string& text) { TopErrors.push_back(text); };
        for (const sample::TSampleMatch& m : W->Served().Matches) {
            if (m.IdPoule == PoolA) {
                L1 = m.Licence1;
                L2 = m.Licence2;
                break;
            }
        }
        for (const sample::TSampleMatch& m : W->Served().Matches) {
            if (m.IdPoule == PoolA && m.Licence1 != L1 && m.Licence1 != L2) {
                L3 = m.Licence1;
                break;
            }
        }
        QVERIFY(L1 > 0 && L2 > 0 && L3 > 0);
    }
    void init() {
        W->Server.Reset();
        W->Boxes.Clear();
        W->Boxes.Answers.clear();
        TopErrors.clear();
        W->LoadAndLogin();
        QCOMPARE(W->Compet.Login(), std::string("Jean Dupont (12)"));
        W->Boxes.Clear();
    }
    void cleanup() {
        if (Frm->isVisible()) Frm->reject();
        QVERIFY(W->Boxes.Answers.empty());
    }

    void refusedOpeningsShowTheReasonAndNoDialog() {
        W->Compet.SetLogin("");
        QVERIFY(!Frm->PrepareAdd(PoolA, -1));
        QCOMPARE(W->Boxes.Errors, Texts{"Identification nécessaire pour modifier la base sur serveur internet"});
        W->Compet.SetLogin("Jean Dupont (12)");
        W->Boxes.Clear();
        QVERIFY(!Frm->PrepareAdd(999, -1));
        QCOMPARE(W->Boxes.Errors, Texts{"No Poule inconnu : 999"});
        QVERIFY(!Frm->isVisible());
    }

    void addOnPoolWithoutMatchesGivesTodayAnd310() {
        std::int32_t pool = -1;
        QVERIFY(W->Compet.AddPhase(7, "Phase sept"));
        QVERIFY2(W->Compet.AddPoule(7, 0, "Poule neuve", &pool), W->Compet.LastError.c_str());
        QVERIFY2(W->Compet.AddJoueur(L1, -1, pool), W->Compet.LastError.c_str());
        QVERIFY(W->Compet.AddJoueur(L2, -1, pool));
        QVERIFY(OpenAdd(pool));
        QCOMPARE(Frm->windowTitle(), QStringLiteral("Ajouter un match"));
        QCOMPARE(Child<QLabel>("NomPoule")->text(), QStringLiteral("Poule neuve"));
        QCOMPARE(Child<QLabel>("NomPhase")->text(), QStringLiteral("Phase sept"));
        QCOMPARE(Child<QDateEdit>("DateMatch")->date(), QDate::currentDate());
        QCOMPARE(Frm->FieldValue(TMatchFrm::BD), std::optional<std::int32_t>(310));
        QCOMPARE(Child<QComboBox>("Billard")->currentData(ui::TTableListModel::ValueRole).toInt(), 310);
        QCOMPARE(Child<QComboBox>("Licence1")->count(), 2);
        QVERIFY(!Frm->FieldValue(TMatchFrm::LICENCE1));
        // A whole match saved there: the server gave it its number, the store keeps it.
        Fill(L1, 30, 20, 5, 2, L2, 25, 20, 4, 0);
        Ok();
        QVERIFY(!Frm->isVisible());
        QCOMPARE(Frm->result(), int(QDialog::Accepted));
        QCOMPARE(MatchesOfPool(pool), 1);
        QVERIFY(W->Boxes.Errors.empty());
    }

    void addOnPoolWithMatchesTakesTheFirstMatchsDateAndBilliard() {
        // A pool whose first match was not played on the default billiard.
        const sample::TSampleMatch* first = nullptr;
        for (const sample::TSamplePool& p : W->Served().Pools) {
            for (const sample::TSampleMatch& m : W->Served().Matches) {
                if (m.IdPoule == p.IdPoule) {
                    if (m.Bd != 310 && !first) first = &m;
                    break;
                }
            }
        }
        QVERIFY(first != nullptr);
        QVERIFY(OpenAdd(first->IdPoule));
        const QDate served = QDateTime::fromSecsSinceEpoch(first->DateSeconds, Qt::UTC).date().addDays(1);
        QCOMPARE(Child<QDateEdit>("DateMatch")->date(), served);
        QCOMPARE(Frm->FieldValue(TMatchFrm::BD), std::optional<std::int32_t>(first->Bd));
        QCOMPARE(Child<QComboBox>("Billard")->currentData(ui::TTableListModel::ValueRole).toInt(), first->Bd);
    }

    void addFromAPoolMemberPreselectsHimAsPlayer1() {
        QVERIFY(OpenAdd(PoolA, L3));
        QCOMPARE(Frm->FieldValue(TMatchFrm::LICENCE1), std::optional<std::int32_t>(L3));
        QCOMPARE(Child<QComboBox>("Licence1")->currentData(ui::TTableListModel::ValueRole).toInt(), L3);
        QCOMPARE(Child<QComboBox>("Licence2")->currentIndex(), -1);
    }

    void playerListLeavesOutMembersNotRegisteredAndIsInNameOrder() {
        QVERIFY(OpenAdd(PoolA));
        QComboBox* box = Child<QComboBox>("Licence1");
        const int members = W->Rows(W->Dm.Tables.Joueurs, "IDPOULE = " + std::to_string(PoolA));
        QCOMPARE(box->count(), members);
        for (int i = 1; i < box->count(); ++i) {
            QVERIFY(box->itemText(i - 1).compare(box->itemText(i), Qt::CaseInsensitive) <= 0);
        }
        Frm->reject();
        // A member whose registrant went (outside the store's own checks).
        QVERIFY(W->Dm.Tables.Inscrits.Locate("LICENCE", {L3}));
        W->Dm.Tables.Inscrits.Delete();
        QVERIFY(OpenAdd(PoolA));
        QCOMPARE(box->count(), members - 1);
        QCOMPARE(box->findData(L3, ui::TTableListModel::ValueRole), -1);
    }

    void tabOrderFollowsTheEntry() {
        const QStringList expected = {"DateMatch", "Licence1", "Pts1", "Rep1", "Ser1",     "Pm1",        "Licence2",
                                      "Pts2",      "Rep2",     "Ser2", "Pm2",  "SauveBtn", "AnnulerBtn", "Billard"};
        QStringList order;
        QWidget* start = Child<QWidget>("DateMatch");
        QWidget* w = start;
        do {
            if (expected.contains(w->objectName()) && !order.contains(w->objectName())) order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != start);
        QCOMPARE(order, expected);
    }

    void matchPointsComplementEachOtherWithoutLooping() {
        QVERIFY(OpenAdd(PoolA));
        ChoosePoints("Pm1", 2);
        QCOMPARE(Child<QComboBox>("Pm2")->currentText(), QStringLiteral("0"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::PM1), std::optional<std::int32_t>(2));
        ChoosePoints("Pm2", 1);
        QCOMPARE(Child<QComboBox>("Pm1")->currentText(), QStringLiteral("1"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::PM2), std::optional<std::int32_t>(1));
        ChoosePoints("Pm2", 2);
        QCOMPARE(Frm->FieldValue(TMatchFrm::PM1), std::optional<std::int32_t>(0));
    }

    void inningsAreCopiedOnceFromPlayer1() {
        QVERIFY(OpenAdd(PoolA));
        Type("Rep1", "25");
        QCOMPARE(Text("Rep2"), QStringLiteral("25"));
        Type("Rep2", "30");
        QCOMPARE(Text("Rep1"), QStringLiteral("25"));
        Type("Rep1", "20");
        QCOMPARE(Text("Rep2"), QStringLiteral("30"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::REP2), std::optional<std::int32_t>(30));
    }

    void negativePointsAndRunsAreRefusedAndTheFormerValueKept() {
        QVERIFY(OpenAdd(PoolA));
        Type("Pts1", "12");
        Type("Pts1", "-3");
        Type("Ser1", "-1");
        Type("Pts2", "-7");
        Type("Ser2", "-2");
        const std::vector<std::string> expected = {
            "Points joueur 1 doit être positif ou nul", "Serie joueur 1 doit être positif ou nul",
            "Points joueur 2 doit être positif ou nul", "Série joueur 2 doit être positif ou nul"};
        QCOMPARE(W->Boxes.Errors, expected);
        QCOMPARE(Text("Pts1"), QStringLiteral("12"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::PTS1), std::optional<std::int32_t>(12));
        QCOMPARE(Text("Ser1"), QString());
        QVERIFY(!Frm->FieldValue(TMatchFrm::SER2));
        // Innings are not checked there: the rules refuse 0 innings at saving.
        W->Boxes.Clear();
        Type("Rep1", "0");
        QVERIFY(W->Boxes.Errors.empty());
    }

    void numberFieldsHoldOnlyWhatFitsA32BitInteger() {
        QVERIFY(OpenAdd(PoolA));
        Type("Pts1", "40");
        Type("Pts1", "12abc");
        Type("Pts1", "99999999999");
        Type("Rep1", " 2147483647 ");
        const std::vector<std::string> expected = {"'12abc' n'est pas une valeur entière correcte",
                                                   "'99999999999' n'est pas une valeur entière correcte"};
        QCOMPARE(W->Boxes.Errors, expected);
        QCOMPARE(Frm->FieldValue(TMatchFrm::PTS1), std::optional<std::int32_t>(40));
        QCOMPARE(Text("Pts1"), QStringLiteral("40"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::REP1), std::optional<std::int32_t>(2147483647));
        // Text left in a field when OK is pressed is read first, and refused the same way.
        W->Boxes.Clear();
        Child<QLineEdit>("Ser1")->setText("x");
        Ok();
        QCOMPARE(W->Boxes.Errors, Texts{"'x' n'est pas une valeur entière correcte"});
        QVERIFY(Frm->isVisible());
    }

    void rulesRefuseInTheirOrderAndKeepTheEntry() {
        QVERIFY(OpenAdd(PoolA));
        const int before = W->Requests("upd_match.php");
        // Both players empty count as the same licence, whatever else is missing.
        Ok();
        QCOMPARE(W->Boxes.Errors, Texts{"Les joueurs 1 et 2 ont la même licence !"});
        ChoosePlayer("Licence1", L1);
        ChoosePlayer("Licence2", L1);
        Ok();
        QCOMPARE(W->Boxes.Errors.back(), std::string("Les joueurs 1 et 2 ont la même licence !"));
        // Different players, no innings for one of them: refused whatever the points
        // hold, before the match points (never chosen here) are looked at.
        ChoosePlayer("Licence2", L2);
        Type("Pts1", "30");
        Type("Rep2", "12");
        Ok();
        QCOMPARE(W->Boxes.Errors.back(), std::string("Il doit y avoir au minimum une reprise pour chaque joueur"));
        Type("Rep1", "0");
        Ok();
        QCOMPARE(W->Boxes.Errors.back(), std::string("Il doit y avoir au minimum une reprise pour chaque joueur"));
        Frm->reject();

        // Match points never chosen count as 0 - 0, before any comparison of points.
        QVERIFY(OpenAdd(PoolA));
        W->Boxes.Clear();
        ChoosePlayer("Licence1", L1);
        ChoosePlayer("Licence2", L2);
        Type("Rep1", "20");
        Type("Pts1", "20");
        Type("Pts2", "20");
        Ok();
        QCOMPARE(W->Boxes.Errors, Texts{"Les points de match ne sont pas correctement assignés"});
        QVERIFY(W->Boxes.OkCancels.empty());
        // Then the required fields, by label, in the entry's order.
        ChoosePoints("Pm1", 1);
        Ok();
        QCOMPARE(W->Boxes.Errors.back(), std::string("Le champ 'Serie joueur 1' doit avoir une valeur"));
        Type("Ser1", "4");
        Ok();
        QCOMPARE(W->Boxes.Errors.back(), std::string("Le champ 'Série joueur 2' doit avoir une valeur"));
        QVERIFY(Frm->isVisible());
        // The entry is as typed after every refusal.
        QCOMPARE(Text("Rep2"), QStringLiteral("20"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::LICENCE2), std::optional<std::int32_t>(L2));
        QCOMPARE(W->Requests("upd_match.php"), before);
        Type("Ser2", "3");
        Ok();
        QVERIFY(!Frm->isVisible());
        QCOMPARE(W->Requests("upd_match.php"), before + 1);
    }

    void confirmationsAskOnceAndCancelStopsSilently_data() {
        QTest::addColumn<int>("pts1");
        QTest::addColumn<int>("pts2");
        QTest::addColumn<int>("pm1");
        QTest::addColumn<QString>("question");
        QTest::newRow("20-20 2-0") << 20 << 20 << 2 << QString::fromStdString(Draw);
        QTest::newRow("20-20 0-2") << 20 << 20 << 0 << QString::fromStdString(Draw);
        QTest::newRow("20-20 1-1") << 20 << 20 << 1 << QString();
        QTest::newRow("20-15 0-2") << 20 << 15 << 0 << QString::fromStdString(Player1More);
        QTest::newRow("20-15 1-1") << 20 << 15 << 1 << QString::fromStdString(Player1More);
        QTest::newRow("20-15 2-0") << 20 << 15 << 2 << QString();
        QTest::newRow("15-20 2-0") << 15 << 20 << 2 << QString::fromStdString(Player2More);
        QTest::newRow("15-20 1-1") << 15 << 20 << 1 << QString::fromStdString(Player2More);
        QTest::newRow("15-20 0-2") << 15 << 20 << 0 << QString();
    }
    void confirmationsAskOnceAndCancelStopsSilently() {
        QFETCH(int, pts1);
        QFETCH(int, pts2);
        QFETCH(int, pm1);
        QFETCH(QString, question);
        const int before = MatchesOfPool(PoolA);
        QVERIFY(OpenAdd(PoolA));
        Fill(L1, pts1, 20, 3, pm1, L3, pts2, 20, 3, 2 - pm1);
        if (!question.isEmpty()) {
            W->Boxes.Answers = {false};
            Ok();
            QCOMPARE(W->Boxes.OkCancels, Texts{question.toStdString()});
            QVERIFY(W->Boxes.Errors.empty());
            QVERIFY(Frm->isVisible());
            QCOMPARE(MatchesOfPool(PoolA), before);
            W->Boxes.Answers = {true};
        }
        Ok();
        QVERIFY(W->Boxes.Errors.empty());
        QCOMPARE(W->Boxes.OkCancels.size(), std::size_t(question.isEmpty() ? 0 : 2));
        QVERIFY(!Frm->isVisible());
        QCOMPARE(MatchesOfPool(PoolA), before + 1);
    }

    void serverRefusalLeavesTheDialogOpenAndASecondOkSaves() {
        QVERIFY(OpenAdd(PoolA));
        Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
        const int before = MatchesOfPool(PoolA);
        W->Misbehave(fedserver::TMode::DataError, 1, "upd_match.php");
        Ok();
        QCOMPARE(W->Boxes.Errors, Texts{"erreur serveur : Erreur simulée par le serveur de test"});
        QVERIFY(Frm->isVisible());
        QCOMPARE(Text("Pts2"), QStringLiteral("12"));
        QCOMPARE(Frm->FieldValue(TMatchFrm::LICENCE2), std::optional<std::int32_t>(L3));
        // The server unreachable: its error reaches the top-level display, the dialog stays.
        W->Misbehave(fedserver::TMode::Drop, 1, "upd_match.php");
        Ok();
        QCOMPARE(TopErrors.size(), std::size_t(1));
        QVERIFY(Frm->isVisible());
        QCOMPARE(MatchesOfPool(PoolA), before);
        Ok();
        QVERIFY(!Frm->isVisible());
        QCOMPARE(MatchesOfPool(PoolA), before + 1);
        QCOMPARE(W->Boxes.Errors.size(), std::size_t(1));
    }

    void editFillsTheEntryFromTheMatchListAndSavesTheChange() {
        TViews views(W->Dm, W->Host);
        views.RefreshFiltres(NodePool, PoolA, 1);
        TTable& list = W->Dm.Tables.FiltreMatchs;
        list.Last();
        const std::int32_t id = list.AsInteger("IDMATCH");
        QVERIFY(Frm->PrepareEdit());
        Frm->show();
        QCOMPARE(Frm->windowTitle(), QStringLiteral("Editer un match"));
        QCOMPARE(Frm->IdMatch(), id);
        QCOMPARE(Frm->IdPoule(), PoolA);
        for (auto [field, name] : {std::pair{TMatchFrm::LICENCE1, "LICENCE1"},
                                   {TMatchFrm::PTS1, "PTS1"},
                                   {TMatchFrm::REP1, "REP1"},
                                   {TMatchFrm::SER1, "SER1"},
                                   {TMatchFrm::PM1, "PM1"},
                                   {TMatchFrm::LICENCE2, "LICENCE2"},
                                   {TMatchFrm::PTS2, "PTS2"},
                                   {TMatchFrm::REP2, "REP2"},
                                   {TMatchFrm::SER2, "SER2"},
                                   {TMatchFrm::PM2, "PM2"},
                                   {TMatchFrm::BD, "BD"}}) {
            QCOMPARE(Frm->FieldValue(field), std::optional<std::int32_t>(list.AsInteger(name)));
        }
        const auto day = text::DecodeDateTime(list.AsDateTime("DATEMATCH"));
        QCOMPARE(Child<QDateEdit>("DateMatch")->date(), QDate(day.Year, day.Month, day.Day));
        const std::int32_t ser1 = list.AsInteger("SER1");
        Type("Ser1", QString::number(ser1 + 1));
        Ok();
        QVERIFY(W->Boxes.Errors.empty());
        QVERIFY(!Frm->isVisible());
        QVERIFY(W->Dm.Tables.Matchs.Locate("IDMATCH", {id}));
        QCOMPARE(W->Dm.Tables.Matchs.AsInteger("SER1"), ser1 + 1);
        const auto log = W->Server.Requests();
        QVERIFY(log.back().Body.find("ACTION=modifier") != std::string::npos);
    }

    void emptyBilliardListIsToldAtOpeningAndAtEverySave() {
        W->Dm.Tables.Billards.EmptyTable();
        QVERIFY(OpenAdd(PoolA));
        QCOMPARE(W->Boxes.Errors, Texts{NoBilliards});
        QVERIFY(Frm->isVisible());
        Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
        Ok();
        Ok();
        QCOMPARE(W->Boxes.Errors, (Texts{NoBilliards, NoBilliards, NoBilliards}));
        QVERIFY(Frm->isVisible());
        QCOMPARE(W->Requests("upd_match.php"), 0);
    }

    void nothingOfAnUnsavedEntrySurvivesAClose() {
        QVERIFY(OpenAdd(PoolA));
        Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
        Child<QPushButton>("AnnulerBtn")->click();
        QVERIFY(!Frm->isVisible());
        QVERIFY(OpenAdd(PoolA));
        for (int f = 0; f < TMatchFrm::FieldCount; ++f) {
            if (f != TMatchFrm::BD) QVERIFY(!Frm->FieldValue(TMatchFrm::TField(f)));
        }
        QCOMPARE(Text("Pts1"), QString());
        QCOMPARE(Child<QComboBox>("Pm1")->currentIndex(), -1);
        QCOMPARE(Child<QComboBox>("Licence2")->currentIndex(), -1);
    }

    void showAddMatchIsModalAndAnswersTrueOnceSaved() {
        TModalWatchdog watchdog;
        bool acted = false;
        QTimer::singleShot(0, this, [&] {
            acted = true;
            QVERIFY(Frm->isModal() || QApplication::activeModalWidget() == Frm.get());
            Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
            Ok();
        });
        QVERIFY(Frm->ShowAddMatch(PoolA, -1));
        QVERIFY(acted);
        QVERIFY(!watchdog.Fired);
        QTimer::singleShot(0, this, [&] { Child<QPushButton>("AnnulerBtn")->click(); });
        QVERIFY(!Frm->ShowAddMatch(PoolA, -1));
    }
};

QTEST_MAIN(MatchFrmTest)
#include "MatchFrmTest.moc"
