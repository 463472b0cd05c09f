// The program asked to end from outside: termination signals brought into
// the event loop, every dialog closed, the window closed as with "Quitter",
// the work on disk; and a second request that does not wait any more.
#include "MainFixture.h"

#include "model/Files.h"
#include "ui/platform/TerminationSignals.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <filesystem>

using namespace tavlor;
using namespace tavlor::test;

namespace {

bool Holds(const std::string& path, const std::string& text) {
    return FileExists(path) && ReadWholeFile(path).find(text) != std::string::npos;
}

bool DefaultHandler(int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler == SIG_DFL;
}

}  // namespace

class EndingTest : public QObject {
    Q_OBJECT

private slots:
    void terminationSignalsArriveInTheEventLoopInTheirOrder() {
        {
            ui::TTerminationSignals termination;
            QVERIFY(termination.Installed());
            QSignalSpy received(&termination, &ui::TTerminationSignals::Received);
            std::raise(SIGHUP);
            std::raise(SIGTERM);
            std::raise(SIGINT);
            // Nothing runs in the handler itself: the loop brings them.
            QCOMPARE(received.count(), 0);
            QTRY_COMPARE(received.count(), 3);
            QCOMPARE(received[0][0].toInt(), SIGHUP);
            QCOMPARE(received[1][0].toInt(), SIGTERM);
            QCOMPARE(received[2][0].toInt(), SIGINT);
            // One listener at a time.
            ui::TTerminationSignals second;
            QVERIFY(!second.Installed());
        }
        QVERIFY(DefaultHandler(SIGTERM) && DefaultHandler(SIGHUP) && DefaultHandler(SIGINT));
        // Installed again after the first one is gone.
        ui::TTerminationSignals again;
        QVERIFY(again.Installed());
    }

    void anEndAskedFromOutsideClosesTheDialogsThenTheWindowWithTheWorkSaved() {
        TMainFixture f;
        f.Main->show();
        f.Load(1201);
        f.Settings().AddRecentCompet(f.Server.BaseUrl("3bandes"), "Finale du jour", 1201);
        QVERIFY(f.Compet->EditPhase(1, "Poules du matin"));
        // Asked while a dialog waits for the user: it is closed as if cancelled.
        QTimer::singleShot(0, f.Main, [&] { f.Program->EndOnRequest(); });
        f.Program->ShowVersion();
        QTRY_VERIFY(!f.Main->isVisible());
        QVERIFY(Holds(f.Dm->SnapshotPath("Phases"), "Poules du matin"));
        QVERIFY(Holds(f.SettingsPath(), "Finale du jour"));
        f.Stop();
        QVERIFY(f.Boxes.TopErrors.empty());
        QVERIFY(f.Boxes.Questions.empty());
    }

    void anEndAskedDuringAnExchangeCancelsItAndKeepsTheCompetition() {
        TMainFixture f;
        f.Main->show();
        f.Load(1201);
        QVERIFY(f.Compet->EditPhase(1, "Poules du gouter"));
        fedserver::TMisbehaviour slow;
        slow.Mode = fedserver::TMode::Delay;
        slow.DelayMs = 20000;
        slow.Count = 1;
        f.Server.SetMisbehaviour(slow);
        // A reload waits on the server; the end is asked meanwhile.
        QTimer::singleShot(300, f.Main, [&] { f.Program->EndOnRequest(); });
        QElapsedTimer clock;
        clock.start();
        f.Main->RunCommand(TCommandId::ReloadCompet);
        QVERIFY2(clock.elapsed() < 15000, "the exchange was cancelled, not waited for");
        QTRY_VERIFY(!f.Main->isVisible());
        QCOMPARE(f.Compet->IdCompet(), 1201);
        QVERIFY(Holds(f.Dm->SnapshotPath("Phases"), "Poules du gouter"));
    }

    void whenTheSaveFailsTheUserChoosesAndALaterRequestStartsAgain() {
        TMainFixture f;
        f.Main->show();
        f.Load(1201);
        QVERIFY(f.Compet->EditPhase(1, "Poules du soir"));
        const std::string phases = f.Dm->SnapshotPath("Phases");
        std::filesystem::create_directory(phases + ".tmp");
        f.Boxes.Buttons = {3};  // "Annuler": the user stays
        f.Program->EndOnRequest();
        QCOMPARE(f.Boxes.Questions.size(), std::size_t(1));
        QVERIFY(f.Main->isVisible());
        std::filesystem::remove(phases + ".tmp");
        f.Program->EndOnRequest();
        QVERIFY(!f.Main->isVisible());
        QVERIFY(Holds(phases, "Poules du soir"));
    }

    // Last: it ends the application's event loops.
    void aSecondRequestWhileTheFirstWaitsEndsAtOnceWithTheWorkWritten() {
        TMainFixture f;
        f.Main->show();
        f.Load(1201);
        QVERIFY(f.Compet->EditPhase(1, "Poules de la nuit"));
        const std::string phases = f.Dm->SnapshotPath("Phases");
        std::filesystem::create_directory(phases + ".tmp");
        // The first request waits on the user's choice; the second does not.
        f.Boxes.OnAsk = [&] {
            std::filesystem::remove(phases + ".tmp");
            f.Program->EndOnRequest();
        };
        f.Boxes.Buttons = {3};
        f.Program->EndOnRequest();
        QVERIFY(Holds(phases, "Poules de la nuit"));
        // Nothing more is asked or shown at the end.
        f.Stop();
        QCOMPARE(f.Boxes.Questions.size(), std::size_t(1));
        QVERIFY(f.Boxes.TopErrors.empty());
    }
};

QTEST_MAIN(EndingTest)
#include "EndingTest.moc"
