#include "support/CompetitionFixture.h"

#include "text/Numbers.h"

namespace tavlor::test {

sample::TSamplePool& TCompetitionFixture::Pool(std::int32_t id, std::int32_t phase, const std::string& name,
                                               std::int32_t formula) {
    Lists.Pools.push_back({id, name, phase, formula});
    return Lists.Pools.back();
}

sample::TSampleMatch& TCompetitionFixture::Match(std::int32_t id, std::int32_t pool, std::int32_t licence1,
                                                 std::int32_t licence2) {
    sample::TSampleMatch m;
    m.IdMatch = id;
    m.IdPoule = pool;
    for (const auto& p : Lists.Pools) {
        if (p.IdPoule == pool) {
            m.IdPhase = p.Phase;
        }
    }
    m.Bd = 310;
    m.CoefBd = 1.0;
    m.DateSeconds = 1767222000;
    auto name = [&](std::int32_t licence) {
        auto it = Names.find(licence);
        return it != Names.end() ? it->second : "Joueur " + text::IntToStr(licence);
    };
    m.Licence1 = licence1;
    m.Nom1 = name(licence1);
    m.Licence2 = licence2;
    m.Nom2 = name(licence2);
    m.Pts1 = 30;
    m.Rep1 = 25;
    m.Ser1 = 5;
    m.Pm1 = 2;
    m.Pts2 = 20;
    m.Rep2 = 25;
    m.Ser2 = 4;
    m.Pm2 = 0;
    Lists.Matches.push_back(m);
    return Lists.Matches.back();
}

void TCompetitionFixture::Load() {
    sample::LoadLists(Lists, Compet);
}

void TCompetitionFixture::Download(std::int32_t id, const std::string& discipline) {
    Compet.DoClear();
    Compet.ListsComplete = false;
    sample::LoadLists(Lists, Compet);
    Compet.ListsComplete = true;
    Compet.Connexion = TConnexion::Internet;
    Compet.ReadOnly.clear();
    Compet.SetIdCompet(id);
    Compet.SetMessage(Lists.Title);
    Compet.SetDiscipline(discipline);
    Compet.DoAfterLoad();
}

std::vector<std::int32_t> TCompetitionFixture::TreeMembers(std::int32_t pool) {
    std::vector<std::int32_t> licences;
    for (TNodeHandle child : Dm.Tree.Children(PoolNode(pool))) {
        licences.push_back(Dm.Tree.Data(child).Id);
    }
    return licences;
}

std::map<std::int32_t, std::int32_t> TCompetitionFixture::PoolRanks(std::int32_t pool) {
    std::map<std::int32_t, std::int32_t> ranks;
    auto members = Dm.Tables.Joueurs.Clone();
    TFilterScope scope(*members, "IDPOULE=" + text::IntToStr(pool));
    for (members->First(); !members->Eof(); members->Next()) {
        ranks[members->AsInteger("LICENCE")] = members->AsInteger("RGA");
    }
    return ranks;
}

std::int32_t TCompetitionFixture::PoolPhase(std::int32_t pool) {
    return Dm.Tables.Poules.Data().Lookup("IDPOULE", {pool}).AsInteger("IDPHASE");
}

TNodeHandle TCompetitionFixture::PoolNode(std::int32_t pool) {
    return Dm.Tables.Poules.Data().Lookup("IDPOULE", {pool}).AsInteger("NODE");
}

TNodeHandle TCompetitionFixture::PhaseNode(std::int32_t phase) {
    return Dm.Tables.Phases.Data().Lookup("IDPHASE", {phase}).AsInteger("NODE");
}

int TCompetitionFixture::CountRows(TTable& table, const std::string& filter) {
    auto cursor = table.Clone();
    TFilterScope scope(*cursor, filter);
    return cursor->RecordCount();
}

void TCompetitionFixture::Place(std::int32_t licence, std::int32_t pool, const std::string& name) {
    if (!Dm.Tables.Inscrits.Data().Lookup("LICENCE", {licence})) {
        ASSERT_TRUE(Compet.AddInscrit(licence, -1, name.empty() ? "Joueur " + text::IntToStr(licence) : name))
            << Compet.LastError;
    }
    ASSERT_TRUE(Compet.AddJoueur(licence, -1, pool)) << Compet.LastError;
}

}  // namespace tavlor::test
