// The commands on competitions opened from the local base: a copy of a
// server's competition only looked at, every change refused before anything
// is asked.
#include "commands/CommandsWorld.h"
#include "model/dbFbMessages.h"
#include "support/CompetitionImage.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::TCommandsWorld;
using Texts = std::vector<std::string>;
using C = TCommandId;

class CopyFromTheBase : public ::testing::Test {
protected:
    TCommandsWorld W;
    std::string Reason;
    std::size_t Requests = 0;

    void SetUp() override {
        ASSERT_TRUE(W.Fb.OpenDb());
        W.Load(1201);
        ASSERT_TRUE(W.Fb.StoreDownload(W.Server.BaseUrl("3bandes")));
        W.Login();
        ASSERT_FALSE(W.Compet.Login().empty());
        W.Fb.LoadCompetDb(1201, "");
        W.View.FocusFirstNode();
        Reason = msg::dbfb::ReadOnlyCopy(W.Server.BaseUrl("3bandes"));
        Requests = W.Server.Requests().size();
        W.Boxes.Clear();
    }
    TNodeHandle Registrant() { return W.Dm.Tree.Child(W.Dm.RegistrantsNode, 0); }
    TNodeHandle Member() { return W.Dm.Tree.Child(W.Find(NodePool, 101), 0); }
};

TEST_F(CopyFromTheBase, EveryChangingCommandIsRefusedBeforeAnythingIsAsked) {
    ASSERT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(W.Compet.Login(), "");
    const test::TCompetImage before = test::ImageOf(W.Compet, W.Dm);
    const std::vector<std::pair<C, TNodeHandle>> cases = {
        {C::AddInscrit, W.Dm.RegistrantsNode},
        {C::EditInscrit, Registrant()},
        {C::DelInscrit, Registrant()},
        {C::ImportInscrits, W.Dm.RegistrantsNode},
        {C::AddPhase, W.Find(NodePhase, 1)},
        {C::EditPhase, W.Find(NodePhase, 1)},
        {C::DelPhase, W.Find(NodePhase, 1)},
        {C::AddPoule, W.Find(NodePhase, 1)},
        {C::EditPoule, W.Find(NodePool, 101)},
        {C::SetFclasstPoule0, W.Find(NodePool, 101)},
        {C::SetFClasstPoule1, W.Find(NodePool, 101)},
        {C::SetFClasstPoule2, W.Find(NodePool, 101)},
        {C::DelPoule, W.Find(NodePool, 101)},
        {C::AddJoueur, W.Find(NodePool, 101)},
        {C::EditJoueur, Member()},
        {C::DelJoueur, Member()},
        {C::AddMatch, W.Find(NodePool, 101)},
        {C::EditMatch, W.Find(NodePool, 101)},
        {C::DelMatch, W.Find(NodePool, 101)},
    };
    // Answers that would let each change through, were it asked.
    W.Boxes.DefaultAnswer = true;
    for (const auto& [id, node] : cases) {
        SCOPED_TRACE(std::string(Command(id).Name));
        ASSERT_NE(node, 0);
        W.Focus(node);
        W.Boxes.Clear();
        W.Dialogs.Asked.clear();
        W.Boxes.Typed = {"2", "Nouveau nom"};
        EXPECT_TRUE(W.Run(id));
        EXPECT_EQ(W.Boxes.Errors, Texts{Reason});
        EXPECT_TRUE(W.Boxes.Confirmations.empty());
        EXPECT_TRUE(W.Boxes.Inputs.empty());
        EXPECT_TRUE(W.Boxes.Files.empty());
        EXPECT_TRUE(W.Dialogs.Asked.empty());
        EXPECT_EQ(W.View.EditedNames, 0);
    }
    // A name typed in the tree, and a drop.
    W.Boxes.Clear();
    EXPECT_FALSE(W.Commands.Rename(W.Find(NodePhase, 1), "Autre nom"));
    EXPECT_FALSE(W.Commands.Rename(W.Find(NodePool, 101), "Autre nom"));
    TDragParamTable drag = W.Commands.DragObjectOf(Registrant());
    ASSERT_NE(W.Find(NodePool, 104), 0);
    EXPECT_FALSE(W.Commands.Drop(W.Find(NodePool, 104), drag));
    drag = W.Commands.DragObjectOf(W.Find(NodePool, 102));
    EXPECT_FALSE(W.Commands.Drop(W.Find(NodePhase, 2), drag));
    EXPECT_EQ(W.Boxes.Errors, (Texts{Reason, Reason, Reason, Reason}));

    EXPECT_EQ(test::FirstDifference(before, test::ImageOf(W.Compet, W.Dm)), "");
    EXPECT_EQ(W.Server.Requests().size(), Requests) << "nothing was sent to the server";
}

TEST_F(CopyFromTheBase, WhatOnlyReadsWorksAsForTheDownload) {
    // Exports, the sort and the reload are no change.
    W.Focus(W.Find(NodePool, 101));
    EXPECT_TRUE(W.Run(C::TriAlphaJoueurs));
    EXPECT_TRUE(W.Run(C::ExportXls));
    EXPECT_TRUE(W.Run(C::ReloadCompet));
    EXPECT_TRUE(W.Boxes.Errors.empty()) << W.Boxes.Errors[0];
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
    // Nothing was asked of the server.
    EXPECT_EQ(W.Server.Requests().size(), Requests);
    EXPECT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    // Downloaded again from its server, it can be changed there.
    W.Load(1201);
    W.Login();
    W.Boxes.Typed = {"Poule C"};
    W.Focus(W.Find(NodePhase, 1));
    EXPECT_TRUE(W.Run(C::AddPoule));
    EXPECT_TRUE(W.Boxes.Errors.empty());
}

}  // namespace
}  // namespace tavlor
