// The main window over a downloaded competition: titles, states, enabling of
// the commands, the ranking grid and the match list.
#include "MainFixture.h"

#include "commands/CommandTable.h"
#include "model/Files.h"
#include "ui/DialogFixture.h"
#include "ui/dialogs/MatchFrm.h"
#include "ui/main/MatchList.h"
#include "ui/models/TableModel.h"
#include "ui/platform/Images.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include <filesystem>
#include <functional>

using namespace tavlor;
using namespace tavlor::test;

namespace {

bool On(ui::TMainFrm& m, TCommandId id) {
    return m.Action(id)->isEnabled();
}

QString Bound(QToolButton* b) {
    return b->defaultAction()->objectName();
}

// Everything the user sees of the competition: the title, the caption, every
// cell of the tree, of the ranking grid and of the match list, the focused
// element, the reload button.
QStringList WhatTheUserSees(TMainFixture& f) {
    QStringList out;
    ui::TMainFrm& m = *f.Main;
    out << m.windowTitle() << QString::fromStdString(f.Compet->Message());
    const std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int r = 0; r < f.Model().rowCount(parent); ++r) {
            QStringList row;
            for (int c = 0; c < f.Model().columnCount(parent); ++c) {
                row << f.Model().index(r, c, parent).data().toString();
            }
            out << row.join(u'|');
            walk(f.Model().index(r, 0, parent));
        }
    };
    walk({});
    const auto table = [&](QAbstractItemModel& model) {
        for (int r = 0; r < model.rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < model.columnCount(); ++c) row << model.index(r, c).data().toString();
            out << row.join(u'|');
        }
    };
    table(*m.GridClasst()->model());
    table(m.GridMatchs()->Matches());
    const TNodeHandle focused = f.Tree().FocusedNode();
    out << (focused != 0 ? f.Text(focused) : QString())
        << QString::number(m.Action(TCommandId::ReloadCompet)->isEnabled());
    return out;
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
        // The local base is reached from the file menu.
        const auto* fichier = m.findChild<QMenu*>(QStringLiteral("MenuFichier"));
        QVERIFY(fichier != nullptr);
        QCOMPARE(fichier->actions().front(), m.Action(TCommandId::LoadFromDbLocal));
        QVERIFY(m.Action(TCommandId::LoadFromDbLocal)->isEnabled());
        // Every action shows what the command state says.
        for (const TCommandDef& def : CommandTable()) {
            QCOMPARE(m.Action(def.Id)->isEnabled(), f.State().Enabled(def.Id));
            QCOMPARE(m.Action(def.Id)->objectName(), QString::fromUtf8(def.Name.data(), qsizetype(def.Name.size())));
        }
        QVERIFY(On(m, TCommandId::LoadFromInternet) && On(m, TCommandId::Quit));
        QVERIFY(!On(m, TCommandId::AddPhase) && !On(m, TCommandId::ReloadCompet));
        QCOMPARE(m.Action(TCommandId::ReloadCompet)->toolTip(), QStringLiteral("recharger la competition"));
        QCOMPARE(m.Action(TCommandId::Quit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    }

    void titlesAfterADownloadWithoutAndWithLogin() {
        TMainFixture f;
        f.Load(1201, "3bandes", "Finale");
        ui::TMainFrm& m = *f.Main;
        QCOMPARE(m.windowTitle(), QStringLiteral("Tavlor - Internet - (utilisateur non identifié)"));
        QVERIFY(!m.RightPanel()->isHidden());
        QVERIFY(!m.ClassementLbl()->isHidden());
        QVERIFY(On(m, TCommandId::LoginWww));
        QCOMPARE(m.NomCompetLbl()->text(), QString::fromStdString(f.Compet->Message()));
        f.Login();
        QCOMPARE(m.windowTitle(), QStringLiteral("Tavlor - Internet - (Jean Dupont (12))"));
    }

    void theActionsAndButtonsFollowTheFocus() {
        TMainFixture f;
        f.Load(1201);
        ui::TMainFrm& m = *f.Main;
        // The first node, the registrants folder, has the focus.
        QCOMPARE(f.State().FocusKind(), TFocusKind::Registrants);
        QCOMPARE(Bound(m.Button(TButtonSlot::Edit)), QStringLiteral("Separator"));
        QVERIFY(!On(m, TCommandId::AddMatch));

        f.Focus(f.Find(NodePool, 101));
        QCOMPARE(f.State().FocusKind(), TFocusKind::Pool);
        QVERIFY(On(m, TCommandId::DelPoule) && On(m, TCommandId::AddMatch) && !On(m, TCommandId::DelPhase));
        QCOMPARE(Bound(m.Button(TButtonSlot::Edit)), QStringLiteral("EditPoule"));
        QCOMPARE(Bound(m.Button(TButtonSlot::Delete)), QStringLiteral("DelPoule"));
        QCOMPARE(Bound(m.Button(TButtonSlot::Synthese)), QStringLiteral("OpenSynthesePoule"));
        // A button bound to a command runs it.
        QCOMPARE(m.Button(TButtonSlot::Edit)->defaultAction(), m.Action(TCommandId::EditPoule));

        // The grid and the match list take the focus: the pool stays the
        // tree's focused node, so AddMatch stays enabled.
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        m.GridClasst()->setFocus();
        QCOMPARE(f.State().FocusKind(), TFocusKind::Grid);
        QVERIFY(On(m, TCommandId::AddMatch) && On(m, TCommandId::AddPoule) && !On(m, TCommandId::EditPoule));
        m.GridMatchs()->setFocus();
        QCOMPARE(f.State().FocusKind(), TFocusKind::Matches);
        QVERIFY(On(m, TCommandId::EditMatch) && On(m, TCommandId::DelMatch));
        QCOMPARE(Bound(m.Button(TButtonSlot::Delete)), QStringLiteral("DelMatch"));
        // Every action shows what the command state says.
        for (const TCommandDef& def : CommandTable()) {
            QCOMPARE(m.Action(def.Id)->isEnabled(), f.State().Enabled(def.Id));
        }
    }

    void afterALoadTheNextFocusAlwaysApplies() {
        TMainFixture f;
        f.Load(1201);
        ui::TMainFrm& m = *f.Main;
        QCOMPARE(f.State().FocusKind(), TFocusKind::Registrants);
        f.Www->LoadCompet(1202, "Coupe");
        QCOMPARE(f.State().FocusKind(), TFocusKind::None);
        m.FocusFirstNode();
        QCOMPARE(f.State().FocusKind(), TFocusKind::Registrants);
    }

    void commandsShowWhatTheyChangedInTheWindow() {
        TMainFixture f;
        f.Load(1201);
        f.Login();
        ui::TMainFrm& m = *f.Main;
        // The recent list reaches the address box.
        f.Settings().AddRecentCompet(f.Server.BaseUrl("3bandes"), "Finale", 1201);
        QCOMPARE(m.Adresse()->itemText(4), QStringLiteral("Finale"));
        // A deleted match leaves the match list.
        f.Focus(f.Find(NodePool, 101));
        const int before = m.GridMatchs()->Grid().PanelCount();
        QVERIFY(before > 0);
        m.GridMatchs()->SetCurrentMatchRow(0);
        const std::int32_t number = m.GridMatchs()->CurrentIdMatch();
        QCOMPARE(m.CurrentSelection().IdMatch, number);
        QCOMPARE(m.CurrentSelection().Node, f.Find(NodePool, 101));
        f.Boxes.Answers = {true};
        m.RunCommand(TCommandId::DelMatch);
        QVERIFY(f.Boxes.Errors.empty());
        QCOMPARE(m.GridMatchs()->Grid().PanelCount(), before - 1);
        QVERIFY(!f.Dm->Tables.Matchs.Data().Lookup("IDMATCH", {number}));
        // The formula's picture follows the pool.
        QSignalSpy repaint(&f.Model(), &QAbstractItemModel::dataChanged);
        f.Action(TCommandId::SetFClasstPoule2)->trigger();
        QVERIFY(repaint.count() >= 1);
        QCOMPARE(
            f.Model()
                .data(f.Model().IndexOf(f.Find(NodePool, 101), ui::TPhaseTreeModel::ColFormula), Qt::DecorationRole)
                .value<QIcon>()
                .cacheKey(),
            ui::TreeImage(ui::TTreeImage::Formula3K).cacheKey());
        // A typed address is no entry of the box.
        m.Adresse()->setCurrentIndex(0);
        m.Adresse()->setEditText(QStringLiteral("http://127.0.0.1:9/3bandes"));
        QCOMPARE(m.CurrentSelection().AddressIndex, -1);
        QCOMPARE(m.CurrentSelection().AddressText, std::string("http://127.0.0.1:9/3bandes"));
    }

    void rankingRowsAreDraggedOntoAPoolAndTheirFiguresLineUp() {
        TMainFixture f;
        f.Load(1201);
        ui::TTableModel& grid = *f.Main->GridModel();
        QVERIFY(grid.rowCount() > 0);
        // Qt starts no drag from an item that is not marked draggable.
        QVERIFY(grid.flags(grid.index(0, 4)) & Qt::ItemIsDragEnabled);
        QVERIFY(f.Main->GridClasst()->dragEnabled());
        // Figures right-aligned, ranks centred, names left.
        const auto align = [&](int column) { return grid.data(grid.index(0, column), Qt::TextAlignmentRole).toInt(); };
        for (const int column : {5, 6, 7, 8, 9, 10, 11}) QVERIFY(align(column) & Qt::AlignRight);
        QVERIFY(align(2) & Qt::AlignHCenter);
        QVERIFY(align(4) & Qt::AlignLeft);
    }

    void longNamesShowWholeAndTheNamesTakeThePanesWidth() {
        TMainFixture f;
        f.Load(1201);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        ui::TPhaseTreeModel& model = f.Model();
        const TNodeHandle registrant = f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0);
        QCOMPARE(model.data(model.IndexOf(registrant), Qt::ToolTipRole).toString(), f.Text(registrant));
        // At its first width the pane shows every column whole.
        ui::TPhaseTree& tree = f.Tree();
        int columns = 0;
        for (int c = 0; c < model.columnCount(); ++c) columns += tree.columnWidth(c);
        QVERIFY2(columns <= tree.viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(tree.viewport()->width())));
        QVERIFY(tree.columnWidth(ui::TPhaseTreeModel::ColName) >= 149);
        // A wider pane: the names get the room.
        const int before = tree.columnWidth(ui::TPhaseTreeModel::ColName);
        auto* body = f.Main->findChild<QSplitter*>(QStringLiteral("Body"));
        body->setSizes({body->sizes()[0] + 150, body->sizes()[1] - 150});
        QTRY_COMPARE(tree.columnWidth(ui::TPhaseTreeModel::ColName), before + 150);
        // The counts of a large competition fit their columns.
        const QString big = QStringLiteral("20000");
        QVERIFY(tree.columnWidth(ui::TPhaseTreeModel::ColMatches) >= tree.fontMetrics().horizontalAdvance(big) + 16);
    }

    void theStatusBarHintGoesWithThePointer() {
        TMainFixture f;
        f.Main->show();
        auto* button = f.Main->findChild<QToolButton*>(QStringLiteral("LoadFromInternetBtn"));
        f.Main->statusBar()->showMessage(QStringLiteral("charge une compétition sur internet"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(f.Main->statusBar()->currentMessage(), QString());
    }

    void howTheWindowWasLeftComesBackAtTheNextStart() {
        TMainFixture f;
        f.Load(1201);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        f.Main->resize(1180, 760);
        auto* body = f.Main->findChild<QSplitter*>(QStringLiteral("Body"));
        body->setSizes({420, 700});
        const QList<int> sizes = body->sizes();
        f.Action(TCommandId::TriAlphaJoueurs)->trigger();
        f.Stop();
        f.Start();
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        QCOMPARE(f.Main->size(), QSize(1180, 760));
        QCOMPARE(f.Main->findChild<QSplitter*>(QStringLiteral("Body"))->sizes(), sizes);
        QVERIFY(f.Action(TCommandId::TriAlphaJoueurs)->isChecked());
        QVERIFY(f.Dm->TriAlphaJoueurs());
    }

    void aReloadKeepsWhatWasOpenAndWhereTheUserStood() {
        TMainFixture f;
        f.Load(1201);
        ui::TPhaseTree& tree = f.Tree();
        const TNodeHandle phase2 = f.Find(NodePhase, 2);
        tree.expand(f.Model().IndexOf(phase2));
        tree.expand(f.Model().IndexOf(f.Find(NodePool, 104)));
        const TNodeHandle member = f.Dm->Tree.Child(f.Find(NodePool, 104), 1);
        const TElement wanted = f.Dm->ElementOf(member);
        f.Focus(member);
        f.Main->RunCommand(TCommandId::ReloadCompet);
        // The tree was built anew: same elements open, the same one focused.
        QVERIFY(tree.isExpanded(f.Model().IndexOf(f.Find(NodePhase, 2))));
        QVERIFY(tree.isExpanded(f.Model().IndexOf(f.Find(NodePool, 104))));
        QVERIFY(!tree.isExpanded(f.Model().IndexOf(f.Find(NodePhase, 1))));
        QCOMPARE(f.Dm->ElementOf(tree.FocusedNode()), wanted);
        QCOMPARE(f.State().FocusKind(), TFocusKind::Member);
        // An element gone since (a pool the server no longer has): the first node.
        f.Login();
        std::int32_t pool = -1;
        QVERIFY(f.Compet->AddPoule(1, 0, "Éphémère", &pool));
        f.Focus(f.Find(NodePool, pool));
        f.Server.Reset();
        f.Login();
        f.Main->RunCommand(TCommandId::ReloadCompet);
        QCOMPARE(f.Find(NodePool, pool), TNodeHandle(0));
        QCOMPARE(tree.FocusedNode(), f.Dm->Tree.FirstTopLevel());
    }

    void aFailedReloadOrOpeningLeavesEverythingAsItWas() {
        TMainFixture f;
        f.Load(1201);
        f.Login();
        QVERIFY(f.Compet->AddInscrit(987654, -1, "AJOUTÉ À la main"));
        f.Focus(f.Find(NodePool, 101));
        const QStringList before = WhatTheUserSees(f);
        QVERIFY(before.size() > 20);
        // A server that cuts every answer: the reload, then an opening from the recent list.
        fedserver::TMisbehaviour cut;
        cut.Mode = fedserver::TMode::Drop;
        f.Server.SetMisbehaviour(cut);
        f.Main->RunCommand(TCommandId::ReloadCompet);
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(1));
        QCOMPARE(WhatTheUserSees(f), before);
        f.Settings().AddRecentCompet(f.Server.BaseUrl("3bandes"), "Coupe", 1202);
        f.Main->SelectAddress(f.Settings().nUrls() + 1);
        f.Main->RunCommand(TCommandId::LoadFromInternet);
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(2));
        QCOMPARE(f.Compet->IdCompet(), 1201);
        QCOMPARE(f.Compet->Login(), std::string("Jean Dupont (12)"));
        // The recent entry chosen is still selected in the address box; the rest as it was.
        f.Main->SelectAddress(f.Settings().nUrls() + 1);
        // With the server back, the reload works again.
        f.Server.SetMisbehaviour({});
        const auto requests = f.Server.Requests().size();
        f.Main->RunCommand(TCommandId::ReloadCompet);
        QCOMPARE(f.Server.Requests().size(), requests + 3);
        QCOMPARE(f.Compet->IdCompet(), 1201);
        QCOMPARE(f.Tree().FocusedNode(), f.Find(NodePool, 101));
    }

    void theWorkReachesTheDiskWhileTheProgramRunsAndBeforeItsWindowCloses() {
        TMainFixture f;
        f.Main->show();
        f.Load(1201);
        const std::string phases = f.Dm->SnapshotPath("Phases");
        QVERIFY(f.Compet->EditPhase(1, "Poules du matin"));
        // Kept shortly after the change, the program still running.
        QTRY_VERIFY_WITH_TIMEOUT(
            FileExists(phases) && ReadWholeFile(phases).find("Poules du matin") != std::string::npos, 5000);
        // A write that fails at the end: the window stays, the user chooses.
        QVERIFY(f.Compet->EditPhase(1, "Poules du soir"));
        std::filesystem::create_directory(phases + ".tmp");
        f.Boxes.Buttons = {3};  // "Annuler"
        f.Main->RunCommand(TCommandId::Quit);
        QVERIFY(f.Main->isVisible());
        QCOMPARE(f.Boxes.Questions.size(), std::size_t(1));
        QVERIFY(f.Boxes.Questions[0].find("|Réessayer|Enregistrer ailleurs...|Quitter sans enregistrer|Annuler") !=
                std::string::npos);
        // "Réessayer" once the place is free: written, the window goes.
        f.Boxes.OnAsk = [&] { std::filesystem::remove(phases + ".tmp"); };
        f.Boxes.Buttons = {0};
        QVERIFY(f.Main->close());
        QVERIFY(!f.Main->isVisible());
        QVERIFY(ReadWholeFile(phases).find("Poules du soir") != std::string::npos);
        f.Stop();
        QVERIFY(f.Boxes.TopErrors.empty());
        QCOMPARE(f.Boxes.Questions.size(), std::size_t(2));  // nothing asked after the window closed
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
        QCOMPARE(grid.rowCount(), static_cast<int>(f.Dm->Tables.FiltreJoueurs.RecordCount()));
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
        QCOMPARE(grid.rowCount(), static_cast<int>(f.Dm->Tables.FiltreJoueurs.RecordCount()));
    }

    void matchListGeometry() {
        TMainFixture f;
        f.Load(1201);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
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
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
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
        f.Load(1201);
        f.Login();
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        ui::TMatchList& list = *f.Main->GridMatchs();
        const QRect r = list.visualRect(list.Grid().IndexOfMatch(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.State().FocusKind(), TFocusKind::Matches);
        QVERIFY(f.Action(TCommandId::EditMatch)->isEnabled());
        // The match dialog opens on that match; closed at once.
        ui::TMatchFrm& dialog = f.Program->Match();
        bool shown = false;
        auto close = WhenShown(&dialog, [&] {
            shown = true;
            QCOMPARE(dialog.Entry().IdMatch(), list.CurrentIdMatch());
            dialog.reject();
        });
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(shown);
        QCOMPARE(f.Dm->Tables.FiltreMatchs.Bookmark(), list.Matches().BookmarkAt(1));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
