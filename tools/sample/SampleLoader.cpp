#include "sample/SampleLoader.h"

#include "server/www.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <utility>

namespace tavlor::sample {

void LoadLists(const TSampleCompetition& competition, TCompetition& compet) {
    const bool wasLoading = compet.Chargement;
    compet.Chargement = true;
    try {
        for (const TSampleBillard& b : competition.Billards) {
            compet.DoAddBillard(b.Taille, b.Nom);
        }
        for (const TSamplePool& pool : competition.Pools) {
            TParamTable phase;
            phase.Id = pool.Phase;
            phase.Nom = "Phase " + text::IntToStr(pool.Phase);
            compet.Store.AddPhase(phase);
            TParamTable p;
            p.Id = pool.IdPoule;
            p.IdParent = pool.Phase;
            p.Valeur = pool.Formula;
            p.Nom = pool.Nom;
            compet.Store.AddPoule(p);
        }
        for (const TSampleMatch& s : competition.Matches) {
            TwwwFrm::TMatchRecord record;
            TParamMatch& m = record.Match;
            m.IdMatch = s.IdMatch;
            m.Bd = s.Bd;
            m.CoefBd = s.CoefBd;
            m.DateMatch = text::FromUnixSeconds(s.DateSeconds) + 1.0;
            m.Licence1 = s.Licence1;
            m.Pts1 = s.Pts1;
            m.Rep1 = s.Rep1;
            m.Ser1 = s.Ser1;
            m.Pm1 = s.Pm1;
            m.Licence2 = s.Licence2;
            m.Pts2 = s.Pts2;
            m.Rep2 = s.Rep2;
            m.Ser2 = s.Ser2;
            m.Pm2 = s.Pm2;
            m.IdPoule = s.IdPoule;
            m.IdPhase = s.IdPhase;
            record.Nom1 = s.Nom1;
            record.Nom2 = s.Nom2;
            TwwwFrm::StoreMatchRecord(compet, std::move(record));
        }
    } catch (...) {
        compet.Chargement = wasLoading;
        throw;
    }
    compet.Chargement = wasLoading;
}

}  // namespace tavlor::sample
