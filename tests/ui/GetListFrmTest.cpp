// The lists dialog and the filtered list against the stand-in server, with the
// real connection window: choosing a competition, filtering, the player search
// and registration, the local base's list, reloading.
#include "ui/dialogs/GetListFrm.h"

#include "model/dbFb.h"
#include "model/dbFbMessages.h"
#include "ui/DialogFixture.h"
#include "ui/dialogs/ConnectionFrm.h"
#include "ui/dialogs/FiltreCompetFrm.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <set>

using namespace tavlor;
using namespace tavlor::test;
using tavlor::ui::TFiltreCompetFrm;
using tavlor::ui::TGetListFrm;
using Texts = std::vector<std::string>;

namespace {
const std::string ShortCriteria = "vous devez spécidier au moins un paramètre sur 3 caractères minimum";
}  // namespace

class GetListFrmTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ui::TConnectionFrm> Window;
    std::unique_ptr<TDialogWorld> W;
    std::unique_ptr<TdmFb> Fb;
    double Clock = 46000.75;  // 9 December 2025, 18:00
    std::unique_ptr<TGetListFrm> Frm;
    std::unique_ptr<TFiltreCompetFrm> Filtre;

    template <class T>
    T* Child(QWidget* parent, const char* name) {
        T* w = parent->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    template <class T>
    T* Child(const char* name) {
        return Child<T>(Frm.get(), name);
    }
    QTableView* View() { return Child<QTableView>("Grid"); }
    // A double click on the current row, as the mouse makes it.
    void DoubleClickCurrentRow() {
        const QRect r = View()->visualRect(View()->currentIndex());
        QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, r.center());
    }
    std::string Url() const { return W->Server.BaseUrl("3bandes"); }
    const fedserver::TServedCompetition& Listed(std::size_t i) const {
        return W->Federation.Disciplines[0].Competitions[i];
    }
    std::string TitleOf(std::size_t i) const {
        const auto& c = Listed(i);
        return c.Saison + " " + c.Niveau + " " + c.Categorie + " - " + c.Nom;
    }
    // The server's competition list, act running once the dialog is shown.
    bool Choose(const std::function<void()>& act) {
        TModalWatchdog watchdog;
        bool acted = false;
        auto when = WhenShown(Frm.get(), [&] {
            acted = true;
            act();
        });
        const bool chosen = Frm->ChooseCompetWww(Url());
        if (!acted) QTest::qFail("the dialog was not shown", __FILE__, __LINE__);
        if (watchdog.Fired) QTest::qFail("the dialog had to be closed", __FILE__, __LINE__);
        return chosen;
    }
    // The local base's competition list, act running once the dialog is shown.
    bool ChooseLocal(const std::function<void()>& act) {
        TModalWatchdog watchdog;
        bool acted = false;
        auto when = WhenShown(Frm.get(), [&] {
            acted = true;
            act();
        });
        const bool chosen = Frm->ChooseCompetLocal();
        if (!acted) QTest::qFail("the dialog was not shown", __FILE__, __LINE__);
        if (watchdog.Fired) QTest::qFail("the dialog had to be closed", __FILE__, __LINE__);
        return chosen;
    }
    std::vector<int> Widths(std::size_t n) {
        std::vector<int> all = Frm->ColumnWidths();
        all.resize(std::min(n, all.size()));
        return all;
    }
    // The columns at their given widths at least, and wide enough for their
    // titles in the font the list uses.
    void CheckWidths(const std::vector<int>& given) {
        const std::vector<int> widths = Widths(given.size());
        QCOMPARE(widths.size(), given.size());
        for (std::size_t c = 0; c < given.size(); ++c) {
            QVERIFY2(widths[c] >= given[c], qPrintable(QString::number(c)));
            const QString title = View()->model()->headerData(int(c), Qt::Horizontal).toString();
            QVERIFY2(widths[c] >= View()->horizontalHeader()->fontMetrics().horizontalAdvance(title),
                     qPrintable(title));
        }
    }
    int GridRowOfLicence(std::int32_t licence) {
        for (int r = 1; r < Frm->Grid().RowCount(); ++r)
            if (Frm->Grid().Cell(0, r) == std::to_string(licence)) return r;
        return -1;
    }

private slots:
    void initTestCase() {
        W = std::make_unique<TDialogWorld>();
        Window = std::make_unique<ui::TConnectionFrm>(W->Boxes);
        W->UseWindow(*Window);
        Window->SetLink(W->Www.get());
        Fb = std::make_unique<TdmFb>(W->Compet, W->Dm, W->Boxes);
        Fb->DataFolder = W->Dir.Path();
        Fb->Now = [this] { return Clock; };
        Frm = std::make_unique<TGetListFrm>(W->Compet, *W->Www, *Fb, W->Boxes);
        Filtre = std::make_unique<TFiltreCompetFrm>();
        Frm->ShowFiltered = [this](const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                                   int& row) { return Filtre->ShowFiltered(source, filter, widths, row); };
    }
    void init() {
        W->Server.Reset();
        W->Boxes.Clear();
        W->Compet.Connexion = TConnexion::None;
        W->Compet.ReadOnly.clear();
        Frm->findChild<QLineEdit*>(QStringLiteral("FiltreEdit"))->clear();
    }
    void cleanup() {
        if (Frm->isVisible()) Frm->reject();
        QVERIFY(!Window->isVisible());
    }

    void competitionListShowsTitlesWidthsAndLoadsTheChosenRow() {
        bool shown = false;
        const bool chosen = Choose([&] {
            shown = Frm->isVisible() && Frm->isModal();
            QCOMPARE(Frm->windowTitle(), QStringLiteral("Compétition disponibles sur le serveur internet"));
            QVERIFY(Child<QWidget>("ListInscritsPnl")->isHidden());
            QVERIFY(Child<QToolButton>("OpenFdbBtn")->isHidden());
            QVERIFY(Frm->ListVisible());
            QCOMPARE(View()->model()->rowCount(), int(W->Federation.Disciplines[0].Competitions.size()));
            QCOMPARE(View()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Compétition"));
            QCOMPARE(View()->model()->data(View()->model()->index(1, 3)).toString(),
                     QString::fromStdString(Listed(1).Nom));
            QCOMPARE(Frm->ColumnWidths().size(), std::size_t(6));
            CheckWidths({35, 35, 35, 200, 35});
            // Every column shows without scrolling sideways.
            QCOMPARE(View()->horizontalScrollBar()->maximum(), 0);
            QCOMPARE(Frm->CurrentRow(), 1);
            Child<QPushButton>("LoadCompetBtn")->click();
        });
        QVERIFY(shown);
        QVERIFY(chosen);
        QVERIFY(!Frm->isVisible());
        QCOMPARE(W->Compet.IdCompet(), Listed(0).Data.Id);
        QCOMPARE(W->Compet.Message(), TitleOf(0) + " (3Bandes)");
        QCOMPARE(W->Compet.Connexion, TConnexion::Internet);
    }

    void doubleClickOnARowLoadsThatRow() {
        QVERIFY(Choose([&] {
            Frm->SetCurrentRow(2);
            DoubleClickCurrentRow();
        }));
        QCOMPARE(W->Compet.IdCompet(), Listed(1).Data.Id);
        QCOMPARE(W->Compet.Message(), TitleOf(1) + " (3Bandes)");
    }

    void aListOfItsTitleRowAloneShowsNoDialog() {
        W->MisbehaveOn(fedserver::TMode::TitlesOnly, "listecompets");
        QVERIFY(!Frm->ChooseCompetWww(Url()));
        QVERIFY(!Frm->isVisible());
        QCOMPARE(Frm->Grid().RowCount(), 1);
        QVERIFY(W->Boxes.Errors.empty());
        QVERIFY(W->Boxes.TopErrors.empty());
        // Said, rather than nothing happening.
        QCOMPARE(W->Boxes.Informations, Texts{"Aucune compétition disponible sur ce serveur"});
    }

    void okDoesNothingWhileTheFirstCellOfTheFirstRowIsEmpty() {
        W->MisbehaveOn(fedserver::TMode::EmptyField, "listecompets", 0);
        bool stillOpen = false;
        QVERIFY(!Choose([&] {
            Frm->SetCurrentRow(2);
            Child<QPushButton>("LoadCompetBtn")->click();
            stillOpen = Frm->isVisible();
            Frm->reject();
        }));
        QVERIFY(stillOpen);
        QCOMPARE(W->RequestsWith("ACTION=listepoules"), 0);
        QVERIFY(W->Boxes.TopErrors.empty());
    }

    void noListNoDialog() {
        // No envelope, an error envelope, a transport failure: no dialog and false.
        W->MisbehaveOn(fedserver::TMode::NoEnvelope, "listecompets");
        QVERIFY(!Frm->ChooseCompetWww(Url()));
        QCOMPARE(W->Boxes.Errors, Texts{"chargement compétitions : aucune réponse du serveur"});
        W->Boxes.Clear();
        W->MisbehaveOn(fedserver::TMode::DataError, "listecompets");
        // The error envelope wins over the data that comes with it.
        QVERIFY(!Frm->ChooseCompetWww(Url()));
        QCOMPARE(W->Boxes.Errors, Texts{"erreur en chargement compétitions : Erreur simulée par le serveur de test"});
        W->Misbehave(fedserver::TMode::Status, 1, "getlists.php");
        QVERIFY(!Frm->ChooseCompetWww(Url()));
        QCOMPARE(W->Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(!Frm->isVisible());
    }

    void openingWhileVisibleIsRefused() {
        bool again = true;
        int requests = -1;
        QVERIFY(!Choose([&] {
            const int before = W->Requests("getlists.php");
            again = Frm->ChooseCompetWww(Url());
            Frm->ShowSearchJoueur();
            requests = W->Requests("getlists.php") - before;
            QCOMPARE(Frm->windowTitle(), QStringLiteral("Compétition disponibles sur le serveur internet"));
            Frm->reject();
        }));
        QVERIFY(!again);
        QCOMPARE(requests, 0);
        // Asking for a list while one is open is said, not ignored.
        QCOMPARE(W->Boxes.Informations, Texts{"La recherche de joueurs est ouverte : fermez-la avant d'ouvrir une "
                                              "autre liste de compétitions"});
    }

    void theKeyboardOpensARowAndLeavesTheList() {
        // Enter, keypad Enter and Space load the current row, as a double click does.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            W->Compet.SetIdCompet(-1);
            QVERIFY(Choose([&] {
                Frm->activateWindow();
                View()->setFocus();
                Frm->SetCurrentRow(2);
                QTest::keyClick(View(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            }));
            QCOMPARE(W->Compet.IdCompet(), Listed(1).Data.Id);
        }
        // Tab leaves the list for the next control.
        QVERIFY(!Choose([&] {
            View()->setFocus();
            QTest::keyClick(View(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != View());
            Frm->reject();
        }));
    }

    void aCellThatIsNoNumberGivesTheConversionErrorAndTheDialogStays() {
        W->MisbehaveOn(fedserver::TMode::NonNumeric, "listecompets", 4);
        bool stillOpen = false;
        QVERIFY(!Choose([&] {
            Child<QPushButton>("LoadCompetBtn")->click();
            stillOpen = Frm->isVisible();
            Frm->reject();
        }));
        QVERIFY(stillOpen);
        QCOMPARE(W->Boxes.TopErrors,
                 Texts{"'" + std::to_string(Listed(0).Data.Id) + "x' n'est pas une valeur entière correcte"});
        QCOMPARE(W->Requests("listepoules"), 0);
    }

    void aFailedLoadKeepsTheDialogOpenForASecondTry() {
        W->MisbehaveOn(fedserver::TMode::Drop, "listepoules");
        bool stillOpen = false;
        QVERIFY(Choose([&] {
            Child<QPushButton>("LoadCompetBtn")->click();
            stillOpen = Frm->isVisible();
            Child<QPushButton>("LoadCompetBtn")->click();
        }));
        QVERIFY(stillOpen);
        QCOMPARE(W->Boxes.TopErrors.size(), std::size_t(1));
        QCOMPARE(W->Compet.IdCompet(), Listed(0).Data.Id);
    }

    void filteredListCopiesMatchingRowsAndRemembersWhereFrom() {
        TTextGrid grid;
        const Texts rows[] = {{"Saison", "Nom", "No"},
                              {"2025", "Finale", "1"},
                              {"2026", "Coupe Île", "2"},
                              {"coupe", "Ligue", "3"},
                              {"2027", "COUPE", "4"}};
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c) grid.SetCell(c, r, rows[r][c]);
        Filtre->Fill(grid, "coupe", {50, 60, 70});
        QCOMPARE(Filtre->Grid().RowCount(), 4);
        QCOMPARE(Filtre->Grid().Cell(1, 0), std::string("Nom"));
        QCOMPARE(Filtre->SourceRow(1), 2);
        QCOMPARE(Filtre->SourceRow(2), 3);
        QCOMPARE(Filtre->SourceRow(3), 4);
        QCOMPARE(Filtre->Grid().Cell(2, 3), std::string("4"));
        auto* view = Child<QTableView>(Filtre.get(), "GrilleFiltre");
        QCOMPARE(view->columnWidth(1), 60);
        // Nothing found: the title row alone, nothing that could be selected.
        Filtre->Fill(grid, "île", {50, 60, 70});
        QCOMPARE(Filtre->Grid().RowCount(), 1);
        QCOMPARE(view->model()->rowCount(), 0);
        Filtre->SelectCurrent();
        QCOMPARE(Filtre->Selected(), -1);
    }

    void enterInTheFilterBoxSelectsAndLoadsThatCompetition() {
        // Listed(1) is the only competition of /3bandes whose texts hold "coupe" in any case.
        int filteredRows = -1;
        QString title;
        bool loaded = Choose([&] {
            auto* filter = Child<QLineEdit>("FiltreEdit");
            auto when = WhenShown(Filtre.get(), [&] {
                title = Filtre->windowTitle();
                filteredRows = Filtre->Grid().RowCount();
                Child<QPushButton>(Filtre.get(), "SelectBtn")->click();
            });
            filter->setText(QStringLiteral("coupe"));
            QTest::keyClick(filter, Qt::Key_Return);
        });
        QVERIFY(loaded);
        QCOMPARE(title, QStringLiteral("Compétitions disponibles filtrées"));
        QCOMPARE(filteredRows, 2);
        QCOMPARE(W->Compet.IdCompet(), Listed(1).Data.Id);
        QCOMPARE(W->Compet.Message(), TitleOf(1) + " (3Bandes)");
    }

    void emptyFilterDoesNothingAndClosingTheFilteredListKeepsTheDialog() {
        bool filteredShown = false, stillOpen = false;
        int rows = -1;
        const int loads = W->RequestsWith("ACTION=listepoules");
        QVERIFY(!Choose([&] {
            auto* filter = Child<QLineEdit>("FiltreEdit");
            QTest::keyClick(filter, Qt::Key_Return);
            filteredShown = Filtre->isVisible();
            // A small accented letter does not find the accented capital.
            auto when = WhenShown(Filtre.get(), [&] {
                rows = Filtre->Grid().RowCount();
                Child<QPushButton>(Filtre.get(), "SelectBtn")->click();  // nothing to select
                Child<QPushButton>(Filtre.get(), "CloseBtn")->click();
            });
            filter->setText(QStringLiteral("île"));
            Child<QToolButton>("FiltreBtn")->click();
            stillOpen = Frm->isVisible();
            Frm->reject();
        }));
        QVERIFY(!filteredShown);
        QCOMPARE(rows, 1);
        QVERIFY(stillOpen);
        QCOMPARE(W->RequestsWith("ACTION=listepoules"), loads);
    }

    void playerSearchNeedsAConnection() {
        Frm->ShowSearchJoueur();
        QCOMPARE(W->Boxes.Errors, Texts{"Aucune connexion ouverte, recherche impossible"});
        QVERIFY(!Frm->isVisible());
    }

    void playerSearchShortTextsNoResultResultsAndRegisteringTwice() {
        W->Www->SetBaseUrl(Url());
        W->Www->LoadCompet(Listed(0).Data.Id, TitleOf(0));
        W->Boxes.Clear();
        Frm->ShowSearchJoueur();
        QVERIFY(Frm->isVisible());
        QVERIFY(!Frm->isModal());
        QCOMPARE(Frm->windowTitle(), QStringLiteral("Recherche joueur sur le serveur internet"));
        QVERIFY(!Child<QToolButton>("OpenFdbBtn2")->isHidden());
        QCOMPARE(Child<QLabel>("MsgLbl")->text(), QStringLiteral("Tapez un nom ou une partie du nom"));
        QVERIFY(!Child<QPushButton>("InscrireBtn")->isEnabled());
        auto* nom = Child<QLineEdit>("NomEdit");
        auto* ville = Child<QLineEdit>("VilleEdit");

        nom->setText(QStringLiteral("Du"));
        ville->setText(QStringLiteral("Pa"));
        const int before = W->Requests("getlists.php");
        QTest::keyClick(ville, Qt::Key_Return);
        QCOMPARE(W->Boxes.TopErrors, Texts{ShortCriteria});
        QCOMPARE(W->Requests("getlists.php"), before);
        QVERIFY(!Frm->ListVisible());

        nom->setText(QStringLiteral("Zzzzzz"));
        ville->clear();
        Child<QToolButton>("CherchBtn")->click();
        QCOMPARE(Child<QLabel>("MsgLbl")->text(), QStringLiteral("Aucun joueur trouvé pour ces critères"));
        QVERIFY(!Frm->ListVisible());
        QVERIFY(!Child<QPushButton>("InscrireBtn")->isEnabled());

        // A licensed player not registered in the competition.
        std::set<std::int32_t> registered;
        for (const auto& m : Listed(0).Data.Matches) registered.insert({m.Licence1, m.Licence2});
        const fedserver::TRosterPlayer* newcomer = nullptr;
        for (const auto& p : W->Federation.Players)
            if (!registered.count(p.Licence)) newcomer = &p;
        QVERIFY(newcomer != nullptr);
        nom->setText(QString::fromStdString(newcomer->Nom).left(4));
        QTest::keyClick(nom, Qt::Key_Return);
        QVERIFY(Frm->ListVisible());
        QVERIFY(Child<QPushButton>("InscrireBtn")->isEnabled());
        QCOMPARE(View()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Licence"));
        CheckWidths({70, 150, 150});
        const int row = GridRowOfLicence(newcomer->Licence);
        QVERIFY(row > 0);
        Frm->SetCurrentRow(row);
        Child<QPushButton>("InscrireBtn")->click();
        QVERIFY(W->Boxes.Errors.empty());
        QVERIFY(W->Dm.Tables.Inscrits.Locate("LICENCE", {newcomer->Licence}));
        QCOMPARE(W->Dm.Tables.Inscrits.AsString("NOM"), newcomer->Nom);
        // Twice: the store's refusal, the first registration kept; a double click registers too.
        DoubleClickCurrentRow();
        QCOMPARE(W->Boxes.Errors, Texts{"Licence " + std::to_string(newcomer->Licence) + " existe déjà"});
        QCOMPARE(W->Rows(W->Dm.Tables.Inscrits, "LICENCE = " + std::to_string(newcomer->Licence)), 1);
        QVERIFY(Frm->isVisible());
        Frm->reject();
    }

    void aLicenceThatIsNoNumberGivesTheConversionErrorAndTheSearchGoesOn() {
        W->Www->SetBaseUrl(Url());
        W->Www->LoadCompet(Listed(0).Data.Id, TitleOf(0));
        Frm->ShowSearchJoueur();
        W->MisbehaveOn(fedserver::TMode::NonNumeric, "listejoueurs", 0);
        auto* nom = Child<QLineEdit>("NomEdit");
        nom->setText(QString::fromStdString(W->Federation.Players[0].Nom).left(4));
        QTest::keyClick(nom, Qt::Key_Return);
        Child<QPushButton>("InscrireBtn")->click();
        QCOMPARE(W->Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(W->Boxes.TopErrors[0].find("x' n'est pas une valeur entière correcte") != std::string::npos);
        QVERIFY(Frm->isVisible());
        QTest::keyClick(nom, Qt::Key_Return);
        Child<QPushButton>("InscrireBtn")->click();
        QCOMPARE(W->Boxes.TopErrors.size(), std::size_t(1));
        Frm->reject();
    }

    void localListShowsTheBasesCompetitionsAndOpensTheChosenOneWithoutTheServer() {
        QVERIFY(Fb->OpenDb());
        W->Www->LoadCompet(Url(), Listed(0).Data.Id, TitleOf(0));
        QVERIFY(Fb->StoreDownload(Url()));
        Clock += 1.0 / 24;
        const std::int32_t local = Fb->CreateCompetDb("Tournoi du club", "Libre", "2025-2026");
        const auto requests = W->Server.Requests().size();
        bool shown = false, fdbShown = false;
        int rows = 0, cols = 0;
        const bool opened = ChooseLocal([&] {
            shown = Frm->isVisible() && Frm->isModal();
            fdbShown = !Child<QToolButton>("OpenFdbBtn")->isHidden();
            rows = View()->model()->rowCount();
            cols = View()->model()->columnCount();
            CheckWidths({200, 60, 120, 100, 35, 45, 45, 60});
            // The most recent first: the competition of this computer; the copy then.
            QCOMPARE(Frm->Grid().Cell(0, 1), std::string("Tournoi du club"));
            QCOMPARE(Frm->Grid().Cell(2, 1), std::string("compétition locale"));
            QCOMPARE(Frm->Grid().Cell(2, 2), Url());
            Frm->SetCurrentRow(2);
            Child<QPushButton>("LoadCompetBtn")->click();
        });
        QVERIFY(shown);
        QVERIFY(fdbShown);
        QCOMPARE(rows, 2);
        QCOMPARE(cols, 8);
        QCOMPARE(Frm->windowTitle(), QStringLiteral("Compétitions disponibles dans la base locale"));
        QVERIFY(opened);
        QVERIFY(!Frm->isVisible());
        QCOMPARE(W->Compet.IdCompet(), Listed(0).Data.Id);
        QCOMPARE(W->Compet.Connexion, TConnexion::LocalBase);
        QCOMPARE(W->Compet.Message(), TitleOf(0) + " (3Bandes)");
        QCOMPARE(W->Server.Requests().size(), requests);
        QVERIFY(W->Boxes.Errors.empty() && W->Boxes.TopErrors.empty());

        // The filter as on the server's list; Cancel leaves the competition open.
        int filteredRows = -1;
        QVERIFY(ChooseLocal([&] {
            auto* filter = Child<QLineEdit>("FiltreEdit");
            auto when = WhenShown(Filtre.get(), [&] {
                filteredRows = Filtre->Grid().RowCount();
                Child<QPushButton>(Filtre.get(), "SelectBtn")->click();
            });
            filter->setText(QStringLiteral("CLUB"));
            QTest::keyClick(filter, Qt::Key_Return);
        }));
        QCOMPARE(filteredRows, 2);
        QCOMPARE(W->Compet.IdCompet(), local);
        QCOMPARE(W->Compet.Message(), std::string("Tournoi du club"));
        QVERIFY(!ChooseLocal([&] { Frm->reject(); }));
        QCOMPARE(W->Compet.IdCompet(), local);
    }

    void anEmptyBaseOrOneThatCannotBeOpenedShowsNoDialog() {
        test::TTempDir empty;
        TdmFb fb(W->Compet, W->Dm, W->Boxes);
        fb.DataFolder = empty.Path();
        TGetListFrm frm(W->Compet, *W->Www, fb, W->Boxes);
        QVERIFY(!frm.ChooseCompetLocal());
        QVERIFY(!frm.isVisible());
        QCOMPARE(frm.windowTitle(), QStringLiteral("Compétitions disponibles dans la base locale"));
        QCOMPARE(W->Boxes.Informations,
                 Texts{"La base locale ne contient aucune compétition : ouvrez une compétition sur internet, elle y "
                       "sera gardée, ou créez-en une (Fichier, Nouvelle compétition locale)"});
        // No folder for it: the reason, and no dialog either.
        W->Boxes.Clear();
        TdmFb nowhere(W->Compet, W->Dm, W->Boxes);
        TGetListFrm frm2(W->Compet, *W->Www, nowhere, W->Boxes);
        QVERIFY(!frm2.ChooseCompetLocal());
        QCOMPARE(W->Boxes.Errors, Texts{msg::dbfb::NoDataFolder});
        QVERIFY(W->Boxes.Informations.empty());
    }
};

QTEST_MAIN(GetListFrmTest)
#include "GetListFrmTest.moc"
