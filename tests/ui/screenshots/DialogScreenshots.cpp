// Pictures of the dialogs for review, rendered offscreen into the folder named
// by TAVLOR_SCREENSHOTS_DIR; nothing is done when it is not set.
#include "model/dbFb.h"
#include "ranking/Views.h"
#include "ui/DialogFixture.h"
#include "ui/dialogs/ConnectionFrm.h"
#include "ui/dialogs/FiltreCompetFrm.h"
#include "ui/dialogs/GetListFrm.h"
#include "ui/dialogs/MatchFrm.h"
#include "ui/dialogs/VersionFrm.h"
#include "ui/models/TableListModel.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

class DialogScreenshots : public QObject {
    Q_OBJECT

    QString Folder;
    std::unique_ptr<ui::TConnectionFrm> Window;
    std::unique_ptr<TDialogWorld> W;

    void Save(QWidget* widget, const char* name) {
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        QCoreApplication::processEvents();  // pending layouts
        const QString path = QDir(Folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        QVERIFY2(widget->grab().save(path), qPrintable(path));
    }

private slots:
    void initTestCase() {
        Folder = qEnvironmentVariable("TAVLOR_SCREENSHOTS_DIR");
        if (Folder.isEmpty()) {
            QSKIP("TAVLOR_SCREENSHOTS_DIR is not set");
        }
        QVERIFY(QDir().mkpath(Folder));
        W = std::make_unique<TDialogWorld>();
        Window = std::make_unique<ui::TConnectionFrm>(W->Boxes);
        W->UseWindow(*Window);
        Window->SetLink(W->Www.get());
    }

    void connectionWindow() {
        TModalWatchdog watchdog;
        auto login = WhenShown(Window.get(), [&] {
            Window->findChild<QLineEdit*>(QStringLiteral("LogEdit"))->setText(QStringLiteral("12"));
            Window->findChild<QLineEdit*>(QStringLiteral("PassEdit"))->setText(QStringLiteral("carambole"));
            Save(Window.get(), "login-panel");
            Window->LoginCancelled();
        });
        W->Www->ShowLogin();

        W->Misbehave(fedserver::TMode::Delay, 1, "getlists.php", 600);
        bool saved = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!saved && Window->isVisible() && !Window->LoginPanelVisible()) {
                saved = true;
                Save(Window.get(), "progress-window");
            }
        });
        poll.start(20);
        TTextGrid grid;
        W->Www->ListCompets(grid);
        QVERIFY(saved);
    }

    void listsAndFilter() {
        TdmFb fb(W->Compet, W->Dm, W->Boxes);
        fb.DataFolder = W->Dir.Path();
        ui::TGetListFrm frm(W->Compet, *W->Www, fb, W->Boxes);
        ui::TFiltreCompetFrm filtre;
        frm.ShowFiltered = [&filtre](const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                                     int& row) { return filtre.ShowFiltered(source, filter, widths, row); };
        TModalWatchdog watchdog;
        auto list = WhenShown(&frm, [&] {
            Save(&frm, "competition-list");
            auto filtered = WhenShown(&filtre, [&] {
                Save(&filtre, "filtered-list");
                filtre.reject();
            });
            frm.findChild<QLineEdit*>(QStringLiteral("FiltreEdit"))->setText(QStringLiteral("coupe"));
            frm.FilterList();
            frm.reject();
        });
        frm.ChooseCompetWww(W->Server.BaseUrl("3bandes"));

        W->Www->LoadCompet(1201, "Compétition 1201");
        frm.ShowSearchJoueur();
        frm.findChild<QLineEdit*>(QStringLiteral("VilleEdit"))->setText(QStringLiteral("Paris"));
        frm.SearchPlayers();
        Save(&frm, "player-search");
        frm.reject();
    }

    void matchDialog() {
        W->Server.Reset();
        W->LoadAndLogin();
        ui::TMatchFrm frm(W->Compet, W->Dm, W->Boxes);
        std::int32_t l1 = 0, l2 = 0;
        for (const auto& m : W->Served().Matches) {
            if (m.IdPoule == 101) {
                l1 = m.Licence1;
                l2 = m.Licence2;
                break;
            }
        }
        QVERIFY(frm.PrepareAdd(101, l1));
        frm.show();
        auto* p2 = frm.findChild<QComboBox*>(QStringLiteral("Licence2"));
        p2->setCurrentIndex(p2->findData(l2, ui::TTableListModel::ValueRole));
        auto* rep1 = frm.findChild<QLineEdit*>(QStringLiteral("Rep1"));
        rep1->setText(QStringLiteral("25"));
        emit rep1->editingFinished();
        Save(&frm, "match-add");
        frm.reject();

        TViews views(W->Dm, W->Host);
        views.RefreshFiltres({NodePool, 101, 1});
        W->Dm.Tables.FiltreMatchs.First();
        QVERIFY(frm.PrepareEdit(W->Dm.Tables.FiltreMatchs.AsInteger("IDMATCH")));
        frm.show();
        Save(&frm, "match-edit");
        frm.reject();
    }

    void versionDialog() {
        ui::TVersionFrm version;
        version.show();
        Save(&version, "version");
    }
};

QTEST_MAIN(DialogScreenshots)
#include "DialogScreenshots.moc"
