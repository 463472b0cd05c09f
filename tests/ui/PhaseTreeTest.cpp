// The phase tree over a downloaded competition: texts, images, order,
// renaming, pop-up menus and drag and drop.
#include "MainFixture.h"

#include <QAction>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QMimeData>
#include <QtTest>

#include <memory>

using namespace tavlor;
using namespace tavlor::test;
using Col = ui::TPhaseTreeModel::TColumn;

namespace {

QStringList Captions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << a->text();
    return out;
}

bool HasImage(TMainFixture& f, TNodeHandle node, int column) {
    const QVariant v = f.Model().data(f.Model().IndexOf(node, column), Qt::DecorationRole);
    return v.isValid() && !v.value<QIcon>().isNull();
}

}  // namespace

class PhaseTreeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainFixture> F;

    TNodeHandle FirstMemberNotIn(TNodeHandle pool, TNodeHandle otherPool) {
        for (TNodeHandle m : F->Dm->Tree.Children(pool)) {
            bool there = false;
            for (TNodeHandle o : F->Dm->Tree.Children(otherPool))
                there |= F->Dm->Tree.Data(o).Id == F->Dm->Tree.Data(m).Id;
            if (!there) return m;
        }
        return 0;
    }
    bool DropOn(TNodeHandle target, const TDragParamTable& drag) {
        std::unique_ptr<QMimeData> mime(ui::TPhaseTreeModel::PackDrag(drag));
        const QModelIndex at = F->Model().IndexOf(target);
        if (!F->Model().canDropMimeData(mime.get(), Qt::CopyAction, -1, -1, at)) return false;
        // The tree never reports a move or a copy back to the drag source.
        return !F->Model().dropMimeData(mime.get(), Qt::CopyAction, -1, -1, at);
    }
    TDragParamTable DragOf(TNodeHandle node) { return *F->Model().DragObjectOf(node); }

private slots:
    void init() {
        F = std::make_unique<TMainFixture>();
        F->Load(1201);
    }
    void cleanup() { F.reset(); }

    void columnsTextsAndImages() {
        TMainFixture& f = *F;
        ui::TPhaseTree& tree = f.Tree();
        QVERIFY(tree.header()->isHidden());
        QCOMPARE(tree.header()->logicalIndex(0), int(Col::ColFocus));
        QCOMPARE(tree.header()->logicalIndex(1), int(Col::ColName));
        QCOMPARE(tree.header()->logicalIndex(2), int(Col::ColFormula));
        QCOMPARE(tree.header()->logicalIndex(3), int(Col::ColPlayers));
        QCOMPARE(tree.header()->logicalIndex(4), int(Col::ColMatches));
        QCOMPARE(tree.columnWidth(Col::ColName), 149);
        QCOMPARE(tree.columnWidth(Col::ColFocus), 16);

        const TNodeHandle folder = f.Dm->RegistrantsNode;
        QCOMPARE(f.Dm->Tree.FirstTopLevel(), folder);
        QCOMPARE(f.Text(folder), QStringLiteral("Inscrits"));
        QCOMPARE(f.Text(folder, Col::ColPlayers).toInt(), static_cast<int>(f.Dm->Tables.Inscrits.Data().RowCount()));
        QCOMPARE(f.Text(folder, Col::ColMatches), QStringLiteral("30"));
        QVERIFY(HasImage(f, folder, Col::ColName));
        QVERIFY(HasImage(f, folder, Col::ColMatches));
        QVERIFY(!HasImage(f, folder, Col::ColPlayers));
        // The focus marker is on the focused node only.
        QVERIFY(HasImage(f, folder, Col::ColFocus));

        const TNodeHandle phase = f.Find(NodePhase, 1);
        QVERIFY(f.Model().data(f.Model().IndexOf(phase), Qt::FontRole).value<QFont>().bold());
        QVERIFY(!f.Model().data(f.Model().IndexOf(folder), Qt::FontRole).value<QFont>().bold());
        QVERIFY(HasImage(f, phase, Col::ColPlayers) && HasImage(f, phase, Col::ColMatches));
        QVERIFY(!HasImage(f, phase, Col::ColFocus));
        QCOMPARE(f.Model().data(f.Model().IndexOf(phase, Col::ColPlayers), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(230, 249, 189));
        QCOMPARE(f.Model().data(f.Model().IndexOf(phase, Col::ColMatches), Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));

        const TNodeHandle pool = f.Find(NodePool, 101);
        QVERIFY(HasImage(f, pool, Col::ColName));
        QVERIFY(HasImage(f, pool, Col::ColFormula));
        QVERIFY(!HasImage(f, phase, Col::ColFormula));
        QCOMPARE(f.Text(pool, Col::ColPlayers).toInt(), f.Dm->Tree.ChildCount(pool));

        const TNodeHandle registrant = f.Dm->Tree.Child(folder, 0);
        const std::int32_t licence = f.Dm->Tree.Data(registrant).Id;
        QVERIFY(f.Text(registrant).startsWith(QStringLiteral("1 - ")));
        QCOMPARE(f.Text(registrant, Col::ColPlayers), QString::asprintf("%06d", licence));
        QVERIFY(!HasImage(f, registrant, Col::ColName));
        const TNodeHandle member = f.Dm->Tree.Child(pool, 0);
        QVERIFY(f.Text(member).startsWith(QStringLiteral("1 - ")));
        QVERIFY(!f.Text(member, Col::ColMatches).isEmpty());

        // Focus moves the marker.
        f.Focus(pool);
        QVERIFY(HasImage(f, pool, Col::ColFocus));
        QVERIFY(!HasImage(f, folder, Col::ColFocus));
    }

    void formulaImageFollowsThePool() {
        TMainFixture& f = *F;
        const TNodeHandle triple = f.Find(NodePool, 106);
        const TNodeHandle kvl = f.Find(NodePool, 101);
        const auto icon = [&](TNodeHandle n) {
            return f.Model().data(f.Model().IndexOf(n, Col::ColFormula), Qt::DecorationRole).value<QIcon>();
        };
        QCOMPARE(icon(triple).pixmap(16, 16).toImage(), ui::TreeImage(8).pixmap(16, 16).toImage());
        QCOMPARE(icon(kvl).pixmap(16, 16).toImage(), ui::TreeImage(6).pixmap(16, 16).toImage());
    }

    void siblingOrderAndResorting() {
        TMainFixture& f = *F;
        const auto& top = f.Dm->Tree.Children(0);
        QCOMPARE(f.Dm->Tree.Data(top[0]).Kind, std::uint8_t(NodeRegistrants));
        for (std::size_t i = 2; i < top.size(); ++i) {
            QVERIFY(f.Dm->Tree.Data(top[i - 1]).Id < f.Dm->Tree.Data(top[i]).Id);
        }
        // Registrants by rank.
        const TNodeHandle folder = f.Dm->RegistrantsNode;
        QStringList ranks;
        for (TNodeHandle r : f.Dm->Tree.Children(folder)) ranks << f.Text(r).section(QStringLiteral(" - "), 0, 0);
        for (int i = 0; i < ranks.size(); ++i) QCOMPARE(ranks[i].toInt(), i + 1);
        // Ticking the alphabetical order re-sorts at once, by name.
        f.Main->Action(QStringLiteral("TriAlphaJoueurs"))->trigger();
        QVERIFY(f.Main->TriAlphaJoueurs());
        QStringList names;
        for (TNodeHandle r : f.Dm->Tree.Children(folder))
            names << f.Text(r).section(QStringLiteral(" - "), 1).toUpper();
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
        // The view's rows follow the sort (persistent indexes are kept).
        const TNodeHandle focused = f.Tree().FocusedNode();
        QCOMPARE(f.Model().NodeOf(f.Tree().currentIndex()), focused);
        f.Main->Action(QStringLiteral("TriAlphaJoueurs"))->trigger();
        QVERIFY(!f.Main->TriAlphaJoueurs());
        QVERIFY(f.Text(f.Dm->Tree.Child(folder, 0)).startsWith(QStringLiteral("1 - ")));
    }

    void aNewPoolStaysLastUntilTheNextSort() {
        TMainFixture& f = *F;
        f.Login();
        const TNodeHandle phase = f.Find(NodePhase, 1);
        const int before = f.Model().rowCount(f.Model().IndexOf(phase));
        QVERIFY(f.Main->Compet().AddPoule(1, 0, "AAA premiere"));
        QCOMPARE(f.Model().rowCount(f.Model().IndexOf(phase)), before + 1);
        const QModelIndex last = f.Model().index(before, 0, f.Model().IndexOf(phase));
        QCOMPARE(last.data().toString(), QStringLiteral("AAA premiere"));
        f.Main->Action(QStringLiteral("TriAlphaJoueurs"))->trigger();
        QCOMPARE(f.Model().index(0, 0, f.Model().IndexOf(phase)).data().toString(), QStringLiteral("AAA premiere"));
    }

    void renaming() {
        TMainFixture& f = *F;
        const TNodeHandle phase = f.Find(NodePhase, 2);
        QVERIFY(f.Model().setData(f.Model().IndexOf(phase), QStringLiteral("Demi-finales")));
        QCOMPARE(f.Text(phase), QStringLiteral("Demi-finales"));
        QVERIFY(f.Boxes.Errors.empty());

        // A pool is renamed on the server first: without login it is refused and keeps its name.
        const TNodeHandle pool = f.Find(NodePool, 101);
        const QString old = f.Text(pool);
        QVERIFY(!f.Model().setData(f.Model().IndexOf(pool), QStringLiteral("Poule X")));
        QCOMPARE(f.Text(pool), old);
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Errors[0], f.Main->Compet().LastError);
        f.Login();
        QVERIFY(f.Model().setData(f.Model().IndexOf(pool), QStringLiteral("Poule X")));
        QCOMPARE(f.Text(pool), QStringLiteral("Poule X"));

        f.Boxes.Clear();
        for (TNodeHandle n :
             {f.Dm->RegistrantsNode, f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0), f.Dm->Tree.Child(pool, 0)}) {
            const QString before = f.Text(n);
            QVERIFY(!f.Model().setData(f.Model().IndexOf(n), QStringLiteral("Nouveau nom")));
            QCOMPARE(f.Text(n), before);
        }
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>(3, "élément non renommable"));
        // Leaving the editor unchanged renames nothing.
        QVERIFY(!f.Model().setData(f.Model().IndexOf(phase), QStringLiteral("Demi-finales")));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(3));
    }

    void popupMenusAreTheFocusedNodes() {
        TMainFixture& f = *F;
        f.Main->Compet().Connexion = 2;
        f.Focus(f.Find(NodePhase, 1));
        QCOMPARE(Captions(f.Main->PopupActions()),
                 QStringList({"Ajouter une phase", "Supprimer la phase", "Renommer la phase"}));
        const TNodeHandle pool = f.Find(NodePool, 101);
        f.Focus(pool);
        QCOMPARE(Captions(f.Main->PopupActions()),
                 QStringList({"Ajouter une poule", "Supprimer la poule", "Renommer la poule", "Tournois KVL",
                              "Double KO", "Triple KO"}));
        f.Focus(f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0));
        QCOMPARE(Captions(f.Main->PopupActions()),
                 QStringList({"Inscrire un joueur", "Supprimer inscription", "Modifier rang d'inscription"}));
        f.Focus(f.Dm->Tree.Child(pool, 0));
        QCOMPARE(Captions(f.Main->PopupActions()),
                 QStringList({"Supprimer le joueur", "Ajouter un joueur", "Modifier le rang d'arrivée en poule"}));
        f.Focus(f.Dm->RegistrantsNode);
        QVERIFY(f.Main->PopupActions().isEmpty());

        // A right click elsewhere keeps the focused node.
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
        f.Focus(f.Find(NodePhase, 1));
        const QRect other = f.Tree().visualRect(f.Model().IndexOf(f.Find(NodePhase, 2)));
        QTest::mouseClick(f.Tree().viewport(), Qt::RightButton, {}, other.center());
        QCOMPARE(f.Tree().FocusedNode(), f.Find(NodePhase, 1));
    }

    void dragSourcesAndAcceptance() {
        TMainFixture& f = *F;
        ui::TPhaseTreeModel& m = f.Model();
        const TNodeHandle phase1 = f.Find(NodePhase, 1), pool = f.Find(NodePool, 101);
        const TNodeHandle member = f.Dm->Tree.Child(pool, 0);
        QVERIFY(!m.DragObjectOf(phase1));
        QVERIFY(!m.DragObjectOf(f.Dm->RegistrantsNode));
        QVERIFY(!(m.flags(m.IndexOf(phase1)) & Qt::ItemIsDragEnabled));
        QVERIFY(m.flags(m.IndexOf(pool)) & Qt::ItemIsDragEnabled);
        const TDragParamTable d = DragOf(member);
        QCOMPARE(d.DragKind, std::uint8_t(NodeMember));
        QCOMPARE(d.DragIdParent, 101);
        QCOMPARE(d.DragIdGrandParent, 1);
        QCOMPARE(DragOf(pool).DragIdParent, 1);
        QCOMPARE(DragOf(pool).DragIdGrandParent, -1);
        QCOMPARE(DragOf(f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0)).DragIdParent, -1);

        std::unique_ptr<QMimeData> memberMime(ui::TPhaseTreeModel::PackDrag(d));
        // A pool member onto a phase, a registrant, the folder or empty space: refused.
        for (TNodeHandle target :
             {phase1, f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0), f.Dm->RegistrantsNode, TNodeHandle(0)}) {
            QVERIFY(!m.canDropMimeData(memberMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(target)));
        }
        // Another program's data: refused everywhere.
        QMimeData foreign;
        foreign.setText(QStringLiteral("101"));
        QVERIFY(!m.canDropMimeData(&foreign, Qt::CopyAction, -1, -1, m.IndexOf(pool)));
        QVERIFY(!m.dropMimeData(&foreign, Qt::CopyAction, -1, -1, m.IndexOf(pool)));
        // A pool is accepted by phases only; players by pools only.
        std::unique_ptr<QMimeData> poolMime(ui::TPhaseTreeModel::PackDrag(DragOf(pool)));
        QVERIFY(m.canDropMimeData(poolMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(f.Find(NodePhase, 2))));
        QVERIFY(!m.canDropMimeData(poolMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(f.Find(NodePool, 104))));
        TDragParamTable row;
        row.DragKind = 5;
        row.DragId = d.DragId;
        std::unique_ptr<QMimeData> rowMime(ui::TPhaseTreeModel::PackDrag(row));
        QVERIFY(m.canDropMimeData(rowMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(pool)));
        QVERIFY(!m.canDropMimeData(rowMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(phase1)));
    }

    void dropsGoThroughTheController() {
        TMainFixture& f = *F;
        const TNodeHandle pool101 = f.Find(NodePool, 101), pool102 = f.Find(NodePool, 102);
        const TNodeHandle pool104 = f.Find(NodePool, 104);

        // Onto its own pool or its own phase: accepted, nothing happens, no message.
        const TNodeHandle member = f.Dm->Tree.Child(pool101, 0);
        const int before = f.Dm->Tree.ChildCount(pool101);
        QVERIFY(DropOn(pool101, DragOf(member)));
        QVERIFY(DropOn(f.Find(NodePhase, 1), DragOf(pool101)));
        QCOMPARE(f.Dm->Tree.ChildCount(pool101), before);
        QCOMPARE(f.Dm->Tree.Parent(pool101), f.Find(NodePhase, 1));
        QVERIFY(f.Boxes.Errors.empty());

        // A member with matches in his pool cannot leave it: the store's refusal is shown.
        const TNodeHandle mover = FirstMemberNotIn(pool101, pool102);
        QVERIFY(mover != 0);
        const std::int32_t licence = f.Dm->Tree.Data(mover).Id;
        QVERIFY(DropOn(pool102, DragOf(mover)));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Errors[0], f.Main->Compet().LastError);
        QCOMPARE(f.Dm->Tree.ChildCount(pool101), before);

        // A registrant onto a pool of a phase where he already plays: the store's refusal.
        f.Boxes.Clear();
        TNodeHandle registrant = 0;
        for (TNodeHandle r : f.Dm->Tree.Children(f.Dm->RegistrantsNode)) {
            if (f.Dm->Tree.Data(r).Id == licence) registrant = r;
        }
        QVERIFY(registrant != 0);
        QVERIFY(DropOn(f.Find(NodePool, 103), DragOf(registrant)));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QVERIFY(f.Boxes.Errors[0].find("déjà") != std::string::npos);

        // In a new phase: a registrant dropped into a pool joins it, and a
        // member without matches moves from one pool to the other.
        f.Boxes.Clear();
        f.Login();
        QVERIFY(f.Main->Compet().AddPhase(9, "Barrages"));
        std::int32_t poolA = -1, poolB = -1;
        QVERIFY(f.Main->Compet().AddPoule(9, 0, "Barrage A", &poolA));
        QVERIFY(f.Main->Compet().AddPoule(9, 0, "Barrage B", &poolB));
        const TNodeHandle nodeA = f.Find(NodePool, poolA), nodeB = f.Find(NodePool, poolB);
        QVERIFY(DropOn(nodeA, DragOf(registrant)));
        QVERIFY2(f.Boxes.Errors.empty(), f.Boxes.Errors.empty() ? "" : f.Boxes.Errors[0].c_str());
        QCOMPARE(f.Dm->Tree.ChildCount(nodeA), 1);
        QVERIFY(DropOn(nodeB, DragOf(f.Dm->Tree.Child(nodeA, 0))));
        QVERIFY2(f.Boxes.Errors.empty(), f.Boxes.Errors.empty() ? "" : f.Boxes.Errors[0].c_str());
        QCOMPARE(f.Dm->Tree.ChildCount(nodeA), 0);
        QVERIFY(f.Dm->Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {poolB, licence}));

        // A ranking-grid row registers the player in a pool of a phase where he does not play.
        f.Boxes.Clear();
        TNodeHandle outsider = 0;
        for (TNodeHandle r : f.Dm->Tree.Children(f.Dm->RegistrantsNode)) {
            const std::int32_t id = f.Dm->Tree.Data(r).Id;
            bool inPhase2 = false;
            for (TNodeHandle p : {pool104, f.Find(NodePool, 105)}) {
                for (TNodeHandle mm : f.Dm->Tree.Children(p)) inPhase2 |= f.Dm->Tree.Data(mm).Id == id;
            }
            if (!inPhase2) outsider = r;
        }
        QVERIFY(outsider != 0);
        TDragParamTable row;
        row.DragKind = 5;
        row.DragId = f.Dm->Tree.Data(outsider).Id;
        const int members = f.Dm->Tree.ChildCount(pool104);
        QVERIFY(DropOn(pool104, row));
        QVERIFY2(f.Boxes.Errors.empty(), f.Boxes.Errors.empty() ? "" : f.Boxes.Errors[0].c_str());
        QCOMPARE(f.Dm->Tree.ChildCount(pool104), members + 1);

        // A pool onto another phase goes through the server (logged in above).
        QVERIFY(DropOn(f.Find(NodePhase, 2), DragOf(nodeB)));
        QVERIFY2(f.Boxes.Errors.empty(), f.Boxes.Errors.empty() ? "" : f.Boxes.Errors[0].c_str());
        QCOMPARE(f.Dm->Tree.Parent(nodeB), f.Find(NodePhase, 2));
        // Without login it is refused with the controller's text.
        f.Main->Compet().SetLogin("");
        QVERIFY(DropOn(f.Find(NodePhase, 1), DragOf(nodeB)));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Dm->Tree.Parent(nodeB), f.Find(NodePhase, 2));
    }

    void focusComputesTheView() {
        TMainFixture& f = *F;
        const TNodeHandle pool = f.Find(NodePool, 101);
        f.Focus(pool);
        QCOMPARE(f.Main->GridModel()->rowCount(), f.Dm->Tree.ChildCount(pool));
        QVERIFY(f.Main->GridMatchs()->Grid().PanelCount() > 0);
        const TNodeHandle member = f.Dm->Tree.Child(pool, 0);
        f.Focus(member);
        QCOMPARE(f.Main->GridModel()->rowCount(), 1);
    }
};

QTEST_MAIN(PhaseTreeTest)
#include "PhaseTreeTest.moc"
