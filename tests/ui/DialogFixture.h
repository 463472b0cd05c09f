#pragma once

#include "fedserver/FedData.h"
#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/FakeViewHost.h"
#include "support/ScriptedBoxes.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavlor::test {

// The program's controller, store and server link against a stand-in
// federation server of their own, with the message boxes answered from a
// script. The connection window is a recording fake unless one is given.
class TDialogWorld {
public:
    fedserver::TFedServer Server;
    TTempDir Dir;
    TCompetition Compet;
    TFakeViewHost Host;
    TdmLocal Dm{Compet};
    TScriptedBoxes Boxes;
    TFakeShell Shell;
    TFakeConnectionWindow FakeWindow;
    std::unique_ptr<TwwwFrm> Www;
    fedserver::TFederation Federation = fedserver::MakeFederation(false);

    TDialogWorld() {
        Server.Start(0);
        Dm.DataFolder = Dir.Path();
        UseWindow(FakeWindow);
    }
    // The server link drives this connection window from now on.
    void UseWindow(IConnectionWindow& window) {
        Www = std::make_unique<TwwwFrm>(Compet, window, Boxes, Shell);
        Www->DecimalMark = ',';
        Www->SetBaseUrl(Server.BaseUrl("3bandes"));
    }
    ~TDialogWorld() { Server.Stop(); }

    // A competition of /3bandes downloaded, and the official 12 logged in.
    void LoadAndLogin(std::int32_t competition = 1201) {
        Www->SetBaseUrl(Server.BaseUrl("3bandes"));
        Www->LoadCompet(competition, "Compétition " + std::to_string(competition));
        Www->Login("12", "carambole");
    }
    const sample::TSampleCompetition& Served(std::size_t index = 0) const {
        return Federation.Disciplines.at(0).Competitions.at(index).Data;
    }
    void Misbehave(fedserver::TMode mode, int count = 1, const std::string& script = {}, int delayMs = 2000) {
        fedserver::TMisbehaviour m;
        m.Mode = mode;
        m.Count = count;
        m.Script = script;
        m.DelayMs = delayMs;
        Server.SetMisbehaviour(m);
    }
    // Only the requests of one ACTION; field: the field a non-numeric mode spoils.
    void MisbehaveOn(fedserver::TMode mode, const std::string& action, int field = 0, int count = 1) {
        fedserver::TMisbehaviour m;
        m.Mode = mode;
        m.Count = count;
        m.Script = "getlists.php";
        m.Action = action;
        m.Field = field;
        Server.SetMisbehaviour(m);
    }
    // Requests received for a script ("upd_match.php", ...).
    int Requests(const std::string& script) const {
        const auto log = Server.Requests();
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const fedserver::TLoggedRequest& r) {
            return r.Target.find(script) != std::string::npos;
        }));
    }
    // Requests whose body holds a text ("ACTION=listematchs", ...).
    int RequestsWith(const std::string& text) const {
        const auto log = Server.Requests();
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const fedserver::TLoggedRequest& r) {
            return r.Body.find(text) != std::string::npos;
        }));
    }
    int Rows(TTable& table, const std::string& filter) {
        std::unique_ptr<TTable> c = table.Clone();
        c->SetFilter(filter);
        c->SetFiltered(true);
        return c->RecordCount();
    }
};

// Closes every modal window still open after a time, so that a test that
// failed while a dialog waited never hangs the run.
class TModalWatchdog {
public:
    explicit TModalWatchdog(int ms = 15000) {
        Timer_.setSingleShot(true);
        QObject::connect(&Timer_, &QTimer::timeout, [this] {
            Fired = true;
            while (QWidget* w = QApplication::activeModalWidget()) {
                w->close();
                if (QApplication::activeModalWidget() == w) {
                    w->hide();
                }
            }
        });
        Timer_.start(ms);
    }
    bool Fired = false;

private:
    QTimer Timer_;
};

// Runs act once, as soon as the dialog is the active modal window (an exchange
// that runs before it is shown processes events, so a plain zero timer could
// fire too early). Dropping the result cancels it.
inline std::unique_ptr<QTimer> WhenShown(QWidget* dialog, std::function<void()> act) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    QTimer* t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, dialog, act = std::move(act)] {
        if (dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
            t->stop();
            act();
        }
    });
    timer->start();
    return timer;
}

}  // namespace tavlor::test
