// Replies of the server's lists through what the program does with them: the
// envelopes, the grid of a list dialog, the records into the store, and every
// view of the competition so built.
#include "Download.h"
#include "FuzzInput.h"

#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "server/FormEncoding.h"
#include "support/FakeViewHost.h"
#include "support/ServerFakes.h"
#include "text/Cp1252.h"

#include <algorithm>
#include <set>

using namespace tavlor;

namespace {

void ShowEveryView(TdmLocal& dm, TViews& views) {
    views.RefreshFiltres({NodeRegistrants, -1, -1});
    std::set<std::int32_t> phases;
    std::vector<std::pair<std::int32_t, std::int32_t>> pools;  // (pool, phase)
    {
        auto p = dm.Tables.Poules.Clone();
        for (p->First(); !p->Eof() && pools.size() < 8; p->Next()) {
            pools.emplace_back(p->AsInteger("IDPOULE"), p->AsInteger("IDPHASE"));
            phases.insert(p->AsInteger("IDPHASE"));
        }
    }
    for (const std::int32_t phase : phases) {
        views.RefreshFiltres({NodePhase, phase, -1});
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> members;  // (licence, pool)
    {
        auto j = dm.Tables.Joueurs.Clone();
        for (j->First(); !j->Eof() && members.size() < 4; j->Next()) {
            members.emplace_back(j->AsInteger("LICENCE"), j->AsInteger("IDPOULE"));
        }
    }
    for (const auto& [pool, phase] : pools) {
        views.RefreshFiltres({NodePool, pool, phase});
        views.GetNbMatchs({NodePool, pool, phase});
        views.GetNbJoueurs({NodePool, pool});
    }
    for (const auto& [licence, pool] : members) {
        views.RefreshFiltres({NodeRegistrant, licence, -1});
        views.RefreshFiltres({NodeMember, licence, pool});
    }
    // Every row shown has a licence; the competition's view shows each player once.
    views.RefreshFiltres({NodeRegistrants, -1, -1});
    TTable& shown = dm.Tables.FiltreJoueurs;
    std::set<std::int32_t> licences;
    for (shown.First(); !shown.Eof(); shown.Next()) {
        TAVLOR_FUZZ_CHECK(licences.insert(shown.AsInteger("LICENCE")).second);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto replies = fuzz::Parts(input, 3);  // billiards, pools, matches

    TCompetition compet;
    test::TFakeViewHost host;
    TdmLocal dm{compet};
    test::TFakeConnectionWindow window;
    test::TRecordingBoxes boxes;
    test::TFakeShell shell;
    TwwwFrm www(compet, window, boxes, shell);
    www.DecimalMark = ',';

    compet.DoClear();
    compet.ListsComplete = false;
    compet.Chargement = true;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const TEnvelope envelope = FindEnvelope(replies[i], "<DATAS_TX>", "</DATAS_TX>");
        TReply reply;
        reply.HasData = envelope.Present;
        reply.Data = text::Cp1252ToUtf8(envelope.Text);

        // The grid of a list dialog: one row per ended record, its cells the fields.
        TTextGrid grid;
        if (TwwwFrm::FillGrid(reply, grid)) {
            const auto lines = std::count(reply.Data.begin(), reply.Data.end(), '\n');
            const auto fields = std::count(reply.Data.begin(), reply.Data.end(), '\b');
            TAVLOR_FUZZ_CHECK(grid.RowCount() == lines);
            TAVLOR_FUZZ_CHECK(grid.StoredCells() <= static_cast<std::size_t>(fields) + 1);
        }

        const auto records = reply.HasData ? TwwwFrm::SplitRecords(reply.Data) : decltype(TwwwFrm::SplitRecords("")){};
        if (i == 0) {
            fuzz::AddRecords(records, [&](std::vector<std::string>& f) { www.AddBillardRecord(f); });
        } else if (i == 1) {
            fuzz::AddRecords(records, [&](std::vector<std::string>& f) { www.AddPouleRecord(f); });
        } else {
            fuzz::AddRecords(records, [&](std::vector<std::string>& f) { www.AddMatchRecord(f); });
        }
    }
    compet.Chargement = false;
    compet.ListsComplete = true;
    compet.SetIdCompet(1);
    compet.SetDiscipline("Libre");
    compet.DoAfterLoad();

    TViews views(dm, host);
    ShowEveryView(dm, views);
    return 0;
}
