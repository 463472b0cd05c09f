// Datapackets as files bring them: read into a table, written back, and the
// three snapshot files of a competition merged into a small downloaded one,
// then the registrant import.
#include "FuzzInput.h"

#include "model/DataPacket.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "support/FakeViewHost.h"
#include "text/Error.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace tavlor;

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tavlor-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) {
            std::abort();
        }
        return std::string(made);
    }();
    return folder;
}

void WriteOrRemove(const std::string& path, const std::string_view* bytes) {
    std::remove(path.c_str());
    if (bytes != nullptr) {
        std::ofstream(path, std::ios::binary).write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    }
}

// What a file reads as, written back, reads as the same again.
void RoundTrip(std::string_view bytes) {
    TTable first("tmp", {});
    try {
        LoadDataPacket(std::string(bytes), "fuzz.xml", first);
    } catch (const Error&) {
        return;
    }
    const std::string written = WriteDataPacket(first);
    TTable second("tmp", {});
    LoadDataPacket(written, "fuzz.xml", second);
    TAVLOR_FUZZ_CHECK(WriteDataPacket(second) == written);
}

// A competition of two phases, three pools and a few matches, as downloaded.
void Download(TCompetition& compet) {
    compet.DoClear();
    compet.ListsComplete = false;
    compet.Chargement = true;
    const std::int32_t pools[3][2] = {{10, 1}, {11, 1}, {20, 2}};  // pool, phase
    for (const auto& [pool, phase] : pools) {
        TParamTable ph;
        ph.Id = phase;
        ph.Nom = "Phase " + std::to_string(phase);
        compet.Store.AddPhase(ph);
        TParamTable p;
        p.Id = pool;
        p.IdParent = phase;
        p.Nom = "Poule " + std::to_string(pool);
        compet.Store.AddPoule(p);
    }
    const std::int32_t matches[4][3] = {{10, 101, 102}, {10, 102, 103}, {11, 111, 112}, {20, 101, 111}};
    std::int32_t id = 0;
    for (const auto& [pool, l1, l2] : matches) {
        TParamMatch m;
        m.IdMatch = ++id;
        m.IdPoule = pool;
        m.IdPhase = pool / 10;
        m.Licence1 = l1;
        m.Licence2 = l2;
        m.Pts1 = 30;
        m.Rep1 = 20 + id;
        m.Pm1 = 2;
        m.Pts2 = 12;
        m.Rep2 = 20 + id;
        for (const std::int32_t licence : {l1, l2}) {
            TParamTable player;
            player.Id = licence;
            player.IdParent = pool;
            player.IdDest = m.IdPhase;
            player.Nom = "Joueur " + std::to_string(licence);
            player.Valeur = -1;
            compet.Store.AddInscrit(player);
            player.Valeur = -1;
            compet.Store.AddJoueur(player);
        }
        compet.Store.AddMatch(m);
    }
    compet.ListsComplete = true;
    compet.Connexion = TConnexion::Internet;
    compet.SetIdCompet(7);
    compet.SetDiscipline("Libre");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto files = fuzz::Parts(input, 3);  // phases, registrants, members
    for (const std::string_view file : files) {
        RoundTrip(file);
    }

    TCompetition compet;
    test::TFakeViewHost host;
    TdmLocal dm{compet};
    dm.DataFolder = Folder();
    Download(compet);
    const char* tables[3] = {"Phases", "Inscrits", "Joueurs"};
    for (std::size_t i = 0; i < 3; ++i) {
        WriteOrRemove(dm.SnapshotPath(tables[i]), i < files.size() ? &files[i] : nullptr);
    }
    try {
        compet.DoAfterLoad();
    } catch (const Error&) {
    }
    try {
        dm.ImportInscrits(dm.SnapshotPath("Inscrits"));
    } catch (const Error&) {
    }
    // Whatever was merged, the views still hold together.
    TViews views(dm, host);
    views.RefreshFiltres({NodeRegistrants, -1, -1});
    views.RefreshFiltres({NodePhase, 1, -1});
    views.RefreshFiltres({NodePool, 10, 1});
    // Nothing is written back: the next input finds no snapshot of its own making.
    dm.DataFolder.clear();
    return 0;
}
