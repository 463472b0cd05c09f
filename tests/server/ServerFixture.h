#pragma once

#include "fedserver/FedData.h"
#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/FakeViewHost.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace tavlor::test {

// The program's server link, store and controller against a stand-in
// federation server of their own on a free loopback port.
class TServerFixture : public ::testing::Test {
protected:
    fedserver::TFedServer Server;
    TTempDir Dir;
    TCompetition Compet;
    TFakeViewHost Host;
    TdmLocal Dm{Compet};
    TFakeConnectionWindow Window;
    TRecordingBoxes Boxes;
    TFakeShell Shell;
    TwwwFrm Www{Compet, Window, Boxes, Shell};
    fedserver::TFederation Federation = fedserver::MakeFederation(false);

    void SetUp() override {
        Server.Start(0);
        Dm.DataFolder = Dir.Path();
        Www.DecimalMark = ',';
        Www.SetBaseUrl(Server.BaseUrl("3bandes"));
    }
    void TearDown() override { Server.Stop(); }

    // The first competition served under the discipline.
    const sample::TSampleCompetition& Served(std::size_t discipline = 0, std::size_t index = 0) const {
        return Federation.Disciplines.at(discipline).Competitions.at(index).Data;
    }
    // The last request the server received, as raw bytes.
    std::string LastRaw() const {
        const auto log = Server.Requests();
        return log.empty() ? std::string() : log.back().Raw;
    }
    std::string LastBody() const {
        const auto log = Server.Requests();
        return log.empty() ? std::string() : log.back().Body;
    }
    void Misbehave(fedserver::TMode mode, int count = 1, const std::string& script = {}) {
        fedserver::TMisbehaviour m;
        m.Mode = mode;
        m.Count = count;
        m.Script = script;
        Server.SetMisbehaviour(m);
    }
    void Login() {
        Www.Login("12", "carambole");
        ASSERT_EQ(Compet.Login(), "Jean Dupont (12)") << (Boxes.Errors.empty() ? "" : Boxes.Errors.back());
    }
};

}  // namespace tavlor::test
