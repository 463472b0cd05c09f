#pragma once

#include "commands/CommandState.h"
#include "commands/Commands.h"
#include "commands/Settings.h"
#include "export/Export.h"
#include "fedserver/FedServer.h"
#include "model/dbFb.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "server/www.h"
#include "support/FakeViewHost.h"
#include "support/ScriptedBoxes.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"

#include <functional>
#include <string>
#include <vector>

namespace tavlor::test {

// The main window as the commands see it: the tree's focus, and a record of
// what they asked.
class TFakeMainView : public IMainView {
public:
    TCommands* Commands = nullptr;
    TdmLocal* Dm = nullptr;
    TNodeHandle Focused = 0;
    int SelectedAddress = -1;
    int EditedNames = 0, FirstNodeFocused = 0, Closed = 0, Ended = 0;

    // As a click on a node: its view computed, then the commands it enables.
    void Focus(TNodeHandle node) {
        if (node != 0 && node != Focused) Commands->ShowElement(node);
        Focused = node;
        Commands->FocusChanged(FocusKindOf(Commands->ElementOf(node).Kind), node);
    }
    void EditFocusedName() override { ++EditedNames; }
    void FocusFirstNode() override {
        ++FirstNodeFocused;
        const TNodeHandle first = Dm->Tree.FirstTopLevel();
        if (first == 0) return;
        if (first == Focused) Commands->ShowElement(first);
        Focus(first);
    }
    void SelectAddress(int entry) override { SelectedAddress = entry; }
    void CloseWindow() override { ++Closed; }
    void CommandEnded() override { ++Ended; }
    TTreePlace TreePlace() const override {
        TTreePlace place;
        if (Focused != 0 && Dm->Tree.Exists(Focused)) place.Focused = Dm->ElementOf(Focused);
        return place;
    }
    void RestoreTreePlace(const TTreePlace& place) override {
        Restored.push_back(place);
        FocusFirstNode();
    }
    std::vector<TTreePlace> Restored;
};

// The dialogs: each answers what the test sets, and is counted.
class TFakeDialogs : public IDialogs {
public:
    std::function<bool(const std::string&)> OnChooseCompetWww;
    std::function<bool(std::int32_t, std::int32_t)> OnShowAddMatch;
    std::function<bool(std::int32_t)> OnShowEditMatch;
    std::vector<std::string> Asked;  // what was opened, in order
    std::vector<TElement> Printed;

    bool ChooseCompetWww(const std::string& url) override {
        Asked.push_back("ChooseCompetWww " + url);
        return OnChooseCompetWww && OnChooseCompetWww(url);
    }
    bool ChooseCompetLocal() override {
        Asked.push_back("ChooseCompetLocal");
        return false;
    }
    void ShowSearchJoueur() override { Asked.push_back("ShowSearchJoueur"); }
    bool ShowAddMatch(std::int32_t pool, std::int32_t licence) override {
        Asked.push_back("ShowAddMatch " + std::to_string(pool) + " " + std::to_string(licence));
        return OnShowAddMatch && OnShowAddMatch(pool, licence);
    }
    bool ShowEditMatch(std::int32_t idMatch) override {
        Asked.push_back("ShowEditMatch " + std::to_string(idMatch));
        return OnShowEditMatch && OnShowEditMatch(idMatch);
    }
    void ShowVersion() override { Asked.push_back("ShowVersion"); }
    void PrintLists(const TElement& shown) override { Printed.push_back(shown); }
};

// The controller, the store, the server link, the views, the export, the
// settings and the commands, wired as the program wires them, against a
// stand-in federation server of their own; no window.
class TCommandsWorld {
public:
    fedserver::TFedServer Server;
    TTempDir Dir;
    TCompetition Compet;
    TFakeViewHost Host;
    TdmLocal Dm{Compet};
    TScriptedBoxes Boxes;
    TFakeShell Shell;
    TFakeConnectionWindow Window;
    TwwwFrm Www{Compet, Window, Boxes, Shell};
    TViews Views{Dm, Host};
    TExport Export{Dm, Boxes, Shell};
    TExportFormats Formats;
    TSettings Settings;
    TCommandState State;
    TFakeMainView View;
    TFakeDialogs Dialogs;
    TdmFb Fb{Compet, Dm, Boxes};
    TCommands Commands{TCommandContext{Compet, Dm, Www, Fb, Views, Export, Formats, Settings, State, Boxes}, View,
                       Dialogs};

    TCommandsWorld() : Settings(Dir.File("tavlor.ini"), {}) {
        Server.Start(0);
        Settings = TSettings(Dir.File("tavlor.ini"), Addresses());
        Dm.DataFolder = Dir.Path();
        Fb.DataFolder = Dir.Path();
        Export.ExportFolder = Dir.Path();
        AddCoreFormats(Formats, Export, Dm);
        View.Commands = &Commands;
        View.Dm = &Dm;
        Compet.OnIdCompetChange = [this](TCompetition& c) { State.CompetChanged(c.IdCompet() >= 0, c.Connexion); };
        Compet.SetIdCompet(-1);
    }
    ~TCommandsWorld() { Server.Stop(); }

    std::vector<std::string> Addresses() const {
        std::vector<std::string> a;
        for (const char* d : {"3bandes", "cadre", "bande", "libre"}) a.push_back(Server.BaseUrl(d));
        return a;
    }
    // Downloads a competition as the lists dialog does, then focuses the first node.
    void Load(std::int32_t id, const std::string& discipline = "3bandes", const std::string& title = "Compétition") {
        Www.SetBaseUrl(Server.BaseUrl(discipline));
        Www.LoadCompet(id, title);
        View.FocusFirstNode();
    }
    void Login(const std::string& id = "12", const std::string& password = "carambole") { Www.Login(id, password); }

    // The first node of that kind and number, 0 when none.
    TNodeHandle Find(TNodeKind kind, std::int32_t id, TNodeHandle under = 0) const {
        for (TNodeHandle child : Dm.Tree.Children(under)) {
            const TNodeData& d = Dm.Tree.Data(child);
            if (d.Kind == kind && d.Id == id) return child;
            if (const TNodeHandle found = Find(kind, id, child)) return found;
        }
        return 0;
    }
    void Focus(TNodeHandle node) { View.Focus(node); }
    std::string Name(TNodeHandle node) { return Views.GetNomElement(Dm.ElementOf(node)); }

    // The selection as the window would give it: the focused node, and the
    // first shown match unless another is given.
    TSelection Selection(std::int32_t idMatch = -2) {
        TSelection s;
        s.Node = View.Focused;
        if (idMatch == -2) {
            TTable& shown = Dm.Tables.FiltreMatchs;
            shown.First();
            idMatch = shown.HasCurrent() ? shown.AsInteger("IDMATCH") : -1;
        }
        s.IdMatch = idMatch;
        return s;
    }
    // Runs a command as a click on it would.
    bool Run(TCommandId id, std::int32_t idMatch = -2) { return Commands.Run(id, Selection(idMatch)); }
};

}  // namespace tavlor::test
