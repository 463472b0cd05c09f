// The phase tree over a downloaded competition: texts, images, order,
// renaming, pop-up menus and drag and drop.
#include "MainFixture.h"

#include "ui/platform/Images.h"

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
    for (QAction* a : actions) out << a->text().remove(u'&');
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

    bool DropOn(TNodeHandle target, const TDragParamTable& drag) {
        std::unique_ptr<QMimeData> mime(ui::TPhaseTreeModel::PackDrag(drag));
        const QModelIndex at = F->Model().IndexOf(target);
        if (!F->Model().canDropMimeData(mime.get(), Qt::CopyAction, -1, -1, at)) return false;
        // The tree never reports a move or a copy back to the drag source.
        return !F->Model().dropMimeData(mime.get(), Qt::CopyAction, -1, -1, at);
    }
    TDragParamTable DragOf(TNodeHandle node) { return F->Commands().DragObjectOf(node); }

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
        QCOMPARE(icon(triple).pixmap(16, 16).toImage(),
                 ui::TreeImage(ui::TTreeImage::Formula3K).pixmap(16, 16).toImage());
        QCOMPARE(icon(kvl).pixmap(16, 16).toImage(), ui::TreeImage(ui::TTreeImage::FormulaT).pixmap(16, 16).toImage());
    }

    void siblingOrderAndResorting() {
        TMainFixture& f = *F;
        const auto& top = f.Dm->Tree.Children(0);
        QCOMPARE(f.Dm->Tree.Data(top[0]).Kind, NodeRegistrants);
        for (std::size_t i = 2; i < top.size(); ++i) {
            QVERIFY(f.Dm->Tree.Data(top[i - 1]).Id < f.Dm->Tree.Data(top[i]).Id);
        }
        // Registrants by rank.
        const TNodeHandle folder = f.Dm->RegistrantsNode;
        QStringList ranks;
        for (TNodeHandle r : f.Dm->Tree.Children(folder)) ranks << f.Text(r).section(QStringLiteral(" - "), 0, 0);
        for (int i = 0; i < ranks.size(); ++i) QCOMPARE(ranks[i].toInt(), i + 1);
        // Ticking the alphabetical order re-sorts at once, by name.
        f.Action(TCommandId::TriAlphaJoueurs)->trigger();
        QVERIFY(f.Action(TCommandId::TriAlphaJoueurs)->isChecked());
        QStringList names;
        for (TNodeHandle r : f.Dm->Tree.Children(folder))
            names << f.Text(r).section(QStringLiteral(" - "), 1).toUpper();
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
        // The view's rows follow the sort (persistent indexes are kept).
        const TNodeHandle focused = f.Tree().FocusedNode();
        QCOMPARE(f.Model().NodeOf(f.Tree().currentIndex()), focused);
        f.Action(TCommandId::TriAlphaJoueurs)->trigger();
        QVERIFY(!f.Action(TCommandId::TriAlphaJoueurs)->isChecked());
        QVERIFY(f.Text(f.Dm->Tree.Child(folder, 0)).startsWith(QStringLiteral("1 - ")));
    }

    void aNewPoolStaysLastUntilTheNextSort() {
        TMainFixture& f = *F;
        f.Login();
        const TNodeHandle phase = f.Find(NodePhase, 1);
        const int before = f.Model().rowCount(f.Model().IndexOf(phase));
        QVERIFY(f.Compet->AddPoule(1, 0, "AAA premiere"));
        QCOMPARE(f.Model().rowCount(f.Model().IndexOf(phase)), before + 1);
        const QModelIndex last = f.Model().index(before, 0, f.Model().IndexOf(phase));
        QCOMPARE(last.data().toString(), QStringLiteral("AAA premiere"));
        f.Action(TCommandId::TriAlphaJoueurs)->trigger();
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
        QCOMPARE(f.Boxes.Errors[0], f.Compet->LastError);
        f.Login();
        QVERIFY(f.Model().setData(f.Model().IndexOf(pool), QStringLiteral("Poule X")));
        QCOMPARE(f.Text(pool), QStringLiteral("Poule X"));

        // A registrant keeps his text.
        f.Boxes.Clear();
        const TNodeHandle registrant = f.Dm->Tree.Child(f.Dm->RegistrantsNode, 0);
        const QString before = f.Text(registrant);
        QVERIFY(!f.Model().setData(f.Model().IndexOf(registrant), QStringLiteral("Nouveau nom")));
        QCOMPARE(f.Text(registrant), before);
        QCOMPARE(f.Boxes.Errors, std::vector<std::string>{"élément non renommable"});
        // Leaving the editor unchanged renames nothing.
        QVERIFY(!f.Model().setData(f.Model().IndexOf(phase), QStringLiteral("Demi-finales")));
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
    }

    void popupMenusAreTheFocusedNodes() {
        TMainFixture& f = *F;
        f.Focus(f.Find(NodePhase, 1));
        QCOMPARE(Captions(f.Main->PopupActions()),
                 QStringList({"Ajouter une phase", "Supprimer la phase", "Renommer la phase"}));
        QCOMPARE(f.Main->PopupActions().front(), f.Action(TCommandId::AddPhase));
        f.Focus(f.Dm->RegistrantsNode);
        QVERIFY(f.Main->PopupActions().isEmpty());

        // A right click elsewhere keeps the focused node.
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        f.Focus(f.Find(NodePhase, 1));
        const QRect other = f.Tree().visualRect(f.Model().IndexOf(f.Find(NodePhase, 2)));
        QTest::mouseClick(f.Tree().viewport(), Qt::RightButton, {}, other.center());
        QCOMPARE(f.Tree().FocusedNode(), f.Find(NodePhase, 1));
    }

    void dragAndDropThroughTheModel() {
        TMainFixture& f = *F;
        ui::TPhaseTreeModel& m = f.Model();
        const TNodeHandle phase1 = f.Find(NodePhase, 1), pool = f.Find(NodePool, 101);
        const TNodeHandle member = f.Dm->Tree.Child(pool, 0);
        QVERIFY(!(m.flags(m.IndexOf(phase1)) & Qt::ItemIsDragEnabled));
        QVERIFY(m.flags(m.IndexOf(pool)) & Qt::ItemIsDragEnabled);
        QVERIFY(m.flags(m.IndexOf(member)) & Qt::ItemIsDragEnabled);
        // The drag object travels whole.
        const TDragParamTable d = DragOf(member);
        std::unique_ptr<QMimeData> memberMime(ui::TPhaseTreeModel::PackDrag(d));
        QCOMPARE(*ui::TPhaseTreeModel::UnpackDrag(memberMime.get()), d);
        QVERIFY(std::unique_ptr<QMimeData>(m.mimeData({m.IndexOf(member)}))
                    ->hasFormat(QLatin1String(ui::TPhaseTreeModel::DragMime)));
        // Accepted by the rule of the node under the mouse; nowhere without a node.
        QVERIFY(m.canDropMimeData(memberMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(f.Find(NodePool, 102))));
        QVERIFY(!m.canDropMimeData(memberMime.get(), Qt::CopyAction, -1, -1, m.IndexOf(phase1)));
        QVERIFY(!m.canDropMimeData(memberMime.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        // Another program's data: refused everywhere.
        QMimeData foreign;
        foreign.setText(QStringLiteral("101"));
        QVERIFY(!m.canDropMimeData(&foreign, Qt::CopyAction, -1, -1, m.IndexOf(pool)));
        QVERIFY(!m.dropMimeData(&foreign, Qt::CopyAction, -1, -1, m.IndexOf(pool)));
        // A drop goes through the commands, and never reports a move or a copy back.
        f.Login();
        QVERIFY(f.Compet->AddPhase(9, "Barrages"));
        std::int32_t barrage = -1;
        QVERIFY(f.Compet->AddPoule(9, 0, "Barrage", &barrage));
        TNodeHandle registrant = 0;
        for (TNodeHandle r : f.Dm->Tree.Children(f.Dm->RegistrantsNode)) {
            if (f.Dm->Tree.Data(r).Id == d.DragId) registrant = r;
        }
        QVERIFY(DropOn(f.Find(NodePool, barrage), DragOf(registrant)));
        QCOMPARE(f.Dm->Tree.ChildCount(f.Find(NodePool, barrage)), 1);
        QVERIFY(f.Boxes.Errors.empty());
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
