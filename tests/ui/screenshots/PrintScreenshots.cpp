// Pictures of the print preview for review: with TAVLOR_SCREENSHOTS_DIR set,
// the preview of a pool's lists and of the registrants folder's, as the
// "Imprimer..." command opens it.
#include "ui/MainFixture.h"

#include "ui/print/ListsPrint.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

class PrintScreenshots : public QObject {
    Q_OBJECT

    QString Folder;

    // Triggers the command and grabs its preview once shown, then closes it.
    bool ShootPreview(TMainFixture& f, const QString& name, bool fitWidth) {
        bool saved = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialog->resize(1000, 760);
            if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
                if (fitWidth)
                    preview->fitToWidth();
                else
                    preview->fitInView();
            }
            QTest::qWait(50);
            const QPixmap shot = dialog->grab();
            saved = !shot.isNull() && shot.save(Folder + u'/' + name + QStringLiteral(".png"));
            dialog->reject();
        });
        f.Main->findChild<QAction*>(QStringLiteral("PrintLists"))->trigger();
        return saved;
    }

private slots:
    void initTestCase() {
        Folder = qEnvironmentVariable("TAVLOR_SCREENSHOTS_DIR");
        if (Folder.isEmpty()) QSKIP("TAVLOR_SCREENSHOTS_DIR is not set");
        QDir().mkpath(Folder);
    }

    void printPreview() {
        TMainFixture f;
        f.Main->resize(1100, 720);
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main));
        f.Load(1201, "3bandes", "2025-2026 Nationale 1 Seniors - Finale de France");
        f.Focus(f.Find(NodePool, 101));
        QVERIFY(ShootPreview(f, QStringLiteral("print-preview-pool"), false));
        f.Focus(f.Dm->RegistrantsNode);
        QVERIFY(ShootPreview(f, QStringLiteral("print-preview-general"), true));
        QVERIFY(f.Boxes.TopErrors.empty() && f.Boxes.Errors.empty());
    }
};

QTEST_MAIN(PrintScreenshots)
#include "PrintScreenshots.moc"
