#pragma once

#include "commands/CommandState.h"
#include "commands/Commands.h"
#include "commands/IniFile.h"
#include "commands/Settings.h"
#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/ScriptedBoxes.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "ui/main/MainFrm.h"
#include "ui/main/MatchList.h"
#include "ui/main/PhaseTree.h"
#include "ui/main/Program.h"
#include "ui/models/PhaseTreeModel.h"
#include "ui/models/TableModel.h"

#include <QAction>
#include <QStringList>

#include <memory>
#include <string>

namespace tavlor::test {

// The real program, wired by its own composition root, against a stand-in
// federation server of its own on a free loopback port; dialogs answered by a
// script, the desktop shell recorded. The program file is in a fresh folder,
// so the settings file, the snapshots and the exports are there.
class TMainFixture {
public:
    fedserver::TFedServer Server;
    TTempDir Dir;
    TScriptedBoxes Boxes;
    TFakeShell Shell;
    std::unique_ptr<ui::TProgram> Program;
    // The program's parts while it runs.
    ui::TMainFrm* Main = nullptr;
    TdmLocal* Dm = nullptr;
    TwwwFrm* Www = nullptr;
    TCompetition* Compet = nullptr;

    // settings: the content of the settings file before the start (none when empty).
    explicit TMainFixture(const std::string& settings = {}, bool start = true) {
        Server.Start(0);
        if (!settings.empty()) WriteSettings(settings);
        if (start) Start();
    }
    ~TMainFixture() { Stop(); }

    std::string SettingsPath() const { return Dir.File("tavlor.ini"); }
    void WriteSettings(const std::string& text) {
        TIniFile ini(SettingsPath());
        ini.Parse(text);
        ini.Save();
    }
    std::string ReadSettings() const {
        TIniFile ini(SettingsPath());
        ini.Load();
        return ini.Text();
    }

    QStringList Addresses() const {
        QStringList a;
        for (const char* d : {"3bandes", "cadre", "bande", "libre"}) a << QString::fromStdString(Server.BaseUrl(d));
        return a;
    }

    // The program's start and end.
    void Start() {
        const QStringList addresses = Addresses();
        Program =
            std::make_unique<ui::TProgram>(QString::fromStdString(Dir.File("tavlor")), &Boxes, &Shell, &addresses);
        Main = &Program->Main();
        Dm = &Program->Dm();
        Www = &Program->Www();
        Compet = &Program->Compet();
        // The size the window was left at, or the tests' own.
        if (Settings().LayoutValue("Geometrie").empty()) Main->resize(1000, 700);
    }
    void Stop() {
        if (!Program) return;
        Program->Close();
        Program.reset();
        Main = nullptr;
        Dm = nullptr;
        Www = nullptr;
        Compet = nullptr;
    }

    // Downloads a competition as the lists dialog does, then focuses the first node.
    void Load(std::int32_t id, const std::string& discipline = "3bandes", const std::string& title = "Compétition") {
        Www->SetBaseUrl(Server.BaseUrl(discipline));
        Www->LoadCompet(id, title);
        Main->FocusFirstNode();
    }
    void Login(const std::string& id = "12", const std::string& password = "carambole") { Www->Login(id, password); }

    TCommands& Commands() { return Program->Commands(); }
    TCommandState& State() { return Program->State(); }
    TSettings& Settings() { return Program->Settings(); }
    QAction* Action(TCommandId id) { return Main->Action(id); }
    ui::TPhaseTree& Tree() { return *Main->TreePhases(); }
    ui::TPhaseTreeModel& Model() { return *Main->TreeModel(); }
    // The first node of that kind and number, 0 when none.
    TNodeHandle Find(std::uint8_t kind, std::int32_t id, TNodeHandle under = 0) const {
        for (TNodeHandle child : Dm->Tree.Children(under)) {
            const TNodeData& d = Dm->Tree.Data(child);
            if (d.Kind == kind && d.Id == id) return child;
            if (const TNodeHandle found = Find(kind, id, child)) return found;
        }
        return 0;
    }
    // Focuses a node as the user would by clicking it.
    void Focus(TNodeHandle node) { Main->TreePhases()->FocusNode(node); }
    QString Text(TNodeHandle node, int column = 0) {
        return Model().data(Model().IndexOf(node, column), Qt::DisplayRole).toString();
    }
};

}  // namespace tavlor::test
