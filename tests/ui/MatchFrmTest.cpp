// The match dialog against the stand-in server: it shows its entry in its
// controls and forwards what is typed (the entry's rules have their own tests).
#include "ui/dialogs/MatchFrm.h"

#include "ranking/Views.h"
#include "text/DateTime.h"
#include "ui/DialogFixture.h"
#include "ui/models/TableListModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;
using tavlor::TMatchEntry;
using tavlor::ui::TMatchFrm;
using Texts = std::vector<std::string>;

namespace {

const std::string NoBilliards = "aucune liste de billard en cours, vous ne pouvez pas ajouter ou modifier des matchs";

}  // namespace

class MatchFrmTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TDialogWorld> W;
    std::unique_ptr<TMatchFrm> Frm;
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
        W->LoadAndLogin();
        QCOMPARE(W->Compet.Login(), std::string("Jean Dupont (12)"));
        W->Boxes.Clear();
    }
    void cleanup() {
        if (Frm->isVisible()) Frm->reject();
        QVERIFY(W->Boxes.Answers.empty());
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
        QCOMPARE(Frm->Entry().Value(TMatchEntry::BD), std::optional<std::int32_t>(310));
        QCOMPARE(Child<QComboBox>("Billard")->currentData(ui::TTableListModel::ValueRole).toInt(), 310);
        QCOMPARE(Child<QComboBox>("Licence1")->count(), 2);
        QVERIFY(!Frm->Entry().Value(TMatchEntry::LICENCE1));
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
        QCOMPARE(Frm->Entry().Value(TMatchEntry::BD), std::optional<std::int32_t>(first->Bd));
        QCOMPARE(Child<QComboBox>("Billard")->currentData(ui::TTableListModel::ValueRole).toInt(), first->Bd);
    }

    void addFromAPoolMemberPreselectsHimAsPlayer1() {
        QVERIFY(OpenAdd(PoolA, L3));
        QCOMPARE(Frm->Entry().Value(TMatchEntry::LICENCE1), std::optional<std::int32_t>(L3));
        QCOMPARE(Child<QComboBox>("Licence1")->currentData(ui::TTableListModel::ValueRole).toInt(), L3);
        QCOMPARE(Child<QComboBox>("Licence2")->currentIndex(), -1);
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

    void tabLeavesTheDateAtOnceAndTheArrowsChangeIt() {
        QVERIFY(OpenAdd(PoolA));
        QApplication::setActiveWindow(Frm.get());
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()));
        auto* date = Child<QDateEdit>("DateMatch");
        date->setFocus();
        const QDate day = date->date();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(date->date(), day.addDays(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Child<QWidget>("Licence1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(date));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), Child<QWidget>("Billard"));
    }

    void matchPointsComplementEachOtherWithoutLooping() {
        QVERIFY(OpenAdd(PoolA));
        ChoosePoints("Pm1", 2);
        QCOMPARE(Child<QComboBox>("Pm2")->currentText(), QStringLiteral("0"));
        QCOMPARE(Frm->Entry().Value(TMatchEntry::PM1), std::optional<std::int32_t>(2));
        ChoosePoints("Pm2", 1);
        QCOMPARE(Child<QComboBox>("Pm1")->currentText(), QStringLiteral("1"));
        QCOMPARE(Frm->Entry().Value(TMatchEntry::PM2), std::optional<std::int32_t>(1));
        ChoosePoints("Pm2", 2);
        QCOMPARE(Frm->Entry().Value(TMatchEntry::PM1), std::optional<std::int32_t>(0));
    }

    void inningsAreCopiedOnceFromPlayer1() {
        QVERIFY(OpenAdd(PoolA));
        Type("Rep1", "25");
        QCOMPARE(Text("Rep2"), QStringLiteral("25"));
        Type("Rep2", "30");
        QCOMPARE(Text("Rep1"), QStringLiteral("25"));
        Type("Rep1", "20");
        QCOMPARE(Text("Rep2"), QStringLiteral("30"));
        QCOMPARE(Frm->Entry().Value(TMatchEntry::REP2), std::optional<std::int32_t>(30));
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
        QCOMPARE(Frm->Entry().Value(TMatchEntry::PTS1), std::optional<std::int32_t>(40));
        QCOMPARE(Text("Pts1"), QStringLiteral("40"));
        QCOMPARE(Frm->Entry().Value(TMatchEntry::REP1), std::optional<std::int32_t>(2147483647));
        // Text left in a field when OK is pressed is read first, and refused the same way.
        W->Boxes.Clear();
        Child<QLineEdit>("Ser1")->setText("x");
        Ok();
        QCOMPARE(W->Boxes.Errors, Texts{"'x' n'est pas une valeur entière correcte"});
        QVERIFY(Frm->isVisible());
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
        QCOMPARE(Frm->Entry().Value(TMatchEntry::LICENCE2), std::optional<std::int32_t>(L3));
        // The server unreachable: its error reaches the top-level display, the dialog stays.
        W->Misbehave(fedserver::TMode::Drop, 1, "upd_match.php");
        Ok();
        QCOMPARE(W->Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(Frm->isVisible());
        QCOMPARE(MatchesOfPool(PoolA), before);
        Ok();
        QVERIFY(!Frm->isVisible());
        QCOMPARE(MatchesOfPool(PoolA), before + 1);
        QCOMPARE(W->Boxes.Errors.size(), std::size_t(1));
    }

    void editFillsTheEntryFromTheMatchListAndSavesTheChange() {
        TViews views(W->Dm, W->Host);
        views.RefreshFiltres({NodePool, PoolA, 1});
        TTable& list = W->Dm.Tables.FiltreMatchs;
        list.Last();
        const std::int32_t id = list.AsInteger("IDMATCH");
        QVERIFY(Frm->PrepareEdit(id));
        Frm->show();
        QCOMPARE(Frm->windowTitle(), QStringLiteral("Editer un match"));
        // The controls show the match.
        QCOMPARE(Text("Pts1"), QString::number(list.AsInteger("PTS1")));
        QCOMPARE(Text("Rep2"), QString::number(list.AsInteger("REP2")));
        QCOMPARE(Child<QComboBox>("Licence1")->currentData(ui::TTableListModel::ValueRole).toInt(),
                 list.AsInteger("LICENCE1"));
        QCOMPARE(Child<QComboBox>("Pm2")->currentIndex(), list.AsInteger("PM2"));
        QCOMPARE(Child<QComboBox>("Billard")->currentData(ui::TTableListModel::ValueRole).toInt(),
                 list.AsInteger("BD"));
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

    void enterAfterARefusedNumberEndsTheKeyPressAndSavesNothing() {
        // Correcting a match: a refused value must not let the same Enter save the old one.
        TViews views(W->Dm, W->Host);
        views.RefreshFiltres({NodePool, PoolA, 1});
        TTable& list = W->Dm.Tables.FiltreMatchs;
        list.First();
        const std::int32_t id = list.AsInteger("IDMATCH");
        const std::int32_t pts1 = list.AsInteger("PTS1");
        QVERIFY(Frm->PrepareEdit(id));
        Frm->show();
        QApplication::setActiveWindow(Frm.get());
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()));
        auto* field = Child<QLineEdit>("Pts1");
        field->setFocus();
        field->setText(QStringLiteral("-3"));
        const int before = W->Requests("upd_match.php");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(W->Boxes.Errors, Texts{"Points joueur 1 doit être positif ou nul"});
        QVERIFY(Frm->isVisible());
        QCOMPARE(W->Requests("upd_match.php"), before);
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(Text("Pts1"), QString::number(pts1));
        // A good value and Enter: saved, closed.
        field->setText(QString::number(pts1 + 1));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!Frm->isVisible());
        QCOMPARE(W->Requests("upd_match.php"), before + 1);
    }

    void escapeOnAFilledEntryAsksBeforeDiscardingIt() {
        QVERIFY(OpenAdd(PoolA));
        // Untouched: Escape closes at once.
        QTest::keyClick(Frm.get(), Qt::Key_Escape);
        QVERIFY(!Frm->isVisible());
        QVERIFY(W->Boxes.Confirmations.empty());
        // Filled: asked; No keeps it, Yes discards it.
        QVERIFY(OpenAdd(PoolA));
        Type("Pts1", "30");
        W->Boxes.Answers = {false, true};
        QTest::keyClick(Frm.get(), Qt::Key_Escape);
        QCOMPARE(W->Boxes.Confirmations, Texts{"Abandonner la saisie de ce match ?"});
        QVERIFY(Frm->isVisible());
        QCOMPARE(Text("Pts1"), QStringLiteral("30"));
        Frm->close();  // the close box asks the same
        QCOMPARE(W->Boxes.Confirmations.size(), std::size_t(2));
        QVERIFY(!Frm->isVisible());
        // "Annuler" discards on purpose, without a question.
        QVERIFY(OpenAdd(PoolA));
        Type("Pts1", "30");
        Child<QPushButton>("AnnulerBtn")->click();
        QVERIFY(!Frm->isVisible());
        QCOMPARE(W->Boxes.Confirmations.size(), std::size_t(2));
    }

    void nothingOfAnUnsavedEntrySurvivesAClose() {
        QVERIFY(OpenAdd(PoolA));
        Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
        Child<QPushButton>("AnnulerBtn")->click();
        QVERIFY(!Frm->isVisible());
        QVERIFY(OpenAdd(PoolA));
        for (int f = 0; f < TMatchEntry::FieldCount; ++f) {
            if (f != TMatchEntry::BD) QVERIFY(!Frm->Entry().Value(TMatchEntry::TField(f)));
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
