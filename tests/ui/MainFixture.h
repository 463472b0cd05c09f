#pragma once

#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "ui/AppFolders.h"
#include "ui/Images.h"
#include "ui/IniFile.h"
#include "ui/MainCommands.h"
#include "ui/MainFrm.h"
#include "ui/MatchList.h"
#include "ui/PhaseTree.h"
#include "ui/PhaseTreeModel.h"
#include "ui/PrintLists.h"
#include "ui/ScriptedBoxes.h"
#include "ui/TableModel.h"

#include <QStringList>

#include <memory>
#include <string>

namespace tavlor::test {

// The real main window, data module and server link, against a stand-in
// federation server of their own on a free loopback port; dialogs answered
// by a script. The settings file and the snapshots live in a fresh folder.
class TMainFixture {
public:
    fedserver::TFedServer Server;
    TTempDir Dir;
    TScriptedBoxes Boxes;
    TFakeShell Shell;
    TFakeConnectionWindow Window;
    std::unique_ptr<ui::TMainFrm> Main;
    std::unique_ptr<TwwwFrm> Www;
    std::unique_ptr<TdmLocal> Dm;

    // settings: the content of the settings file before the start (none when empty).
    explicit TMainFixture(const std::string& settings = {}, bool start = true) {
        Server.Start(0);
        if (!settings.empty()) WriteSettings(settings);
        if (start) Start();
    }
    ~TMainFixture() { Stop(); }

    std::string SettingsPath() const { return Dir.File("tavlor.ini"); }
    void WriteSettings(const std::string& text);
    std::string ReadSettings() const;

    QStringList Addresses() const {
        QStringList a;
        for (const char* d : {"3bandes", "cadre", "bande", "libre"}) a << QString::fromStdString(Server.BaseUrl(d));
        return a;
    }

    // The program's start, in its order.
    void Start() {
        Main = std::make_unique<ui::TMainFrm>(Boxes, SettingsPath(), Addresses());
        Www = std::make_unique<TwwwFrm>(Main->Compet(), Window, Boxes, Shell);
        Www->DecimalMark = ',';
        Dm = std::make_unique<TdmLocal>(Main->Compet(), Main.get());
        Dm->DataFolder = Dir.Path();
        Main->Attach(*Dm, *Www, Shell, Dir.Path());
        ui::InstallPrintCommands(*Main);
        Main->resize(1000, 700);
    }
    // The program's end, in its order: snapshot, modules, controller, settings.
    void Stop() {
        if (!Main) return;
        if (Dm) Dm->SaveSnapshot();
        Main->Detach();
        Dm.reset();
        Www.reset();
        Main->FreeControllerAndSaveSettings();
        Main.reset();
    }

    // Downloads a competition as the lists dialog does, then focuses the first node.
    void Load(std::int32_t id, const std::string& discipline = "3bandes", const std::string& title = "Compétition") {
        Www->SetBaseUrl(Server.BaseUrl(discipline));
        Www->LoadCompet(id, title);
        Main->FocusFirstNode();
    }
    void Login(const std::string& id = "12", const std::string& password = "carambole") {
        Www->LogBtnClick(id, password);
    }

    ui::TPhaseTree& Tree() { return *Main->TreePhases(); }
    ui::TPhaseTreeModel& Model() { return *Main->TreeModel(); }
    // The first node of that kind and number, 0 when none.
    TNodeHandle Find(std::uint8_t kind, std::int32_t id, TNodeHandle under = 0) const;
    // Focuses a node as the user would by clicking it.
    void Focus(TNodeHandle node) { Main->TreePhases()->FocusNode(node); }
    QString Text(TNodeHandle node, int column = 0) {
        return Model().data(Model().IndexOf(node, column), Qt::DisplayRole).toString();
    }
};

inline void TMainFixture::WriteSettings(const std::string& text) {
    ui::TIniFile ini(SettingsPath());
    ini.Parse(text);
    ini.Save();
}

inline std::string TMainFixture::ReadSettings() const {
    ui::TIniFile ini(SettingsPath());
    ini.Load();
    return ini.Text();
}

inline TNodeHandle TMainFixture::Find(std::uint8_t kind, std::int32_t id, TNodeHandle under) const {
    for (TNodeHandle child : Dm->Tree.Children(under)) {
        const TNodeData& d = Dm->Tree.Data(child);
        if (d.Kind == kind && d.Id == id) return child;
        if (const TNodeHandle found = Find(kind, id, child)) return found;
    }
    return 0;
}

}  // namespace tavlor::test
