#pragma once

#include "model/Communs.h"
#include "server/www.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <string>
#include <vector>

namespace tavlor::fuzz {

// The records of the three lists of a download into the store, as the
// download adds them (the exchange itself left out): a record the download
// refuses stops its list, as it does there.
inline void AddBillards(TCompetition& compet, const std::vector<std::vector<std::string>>& records) {
    try {
        for (const auto& f : records) {
            if (f.size() < 2) {
                return;
            }
            compet.DoAddBillard(text::StrToInt(f[0]), f[1]);
        }
    } catch (const Error&) {
    }
}

inline void AddPoules(TCompetition& compet, std::vector<std::vector<std::string>> records) {
    try {
        for (auto& f : records) {
            if (f.size() < 4) {
                return;
            }
            if (f[2].empty()) {
                f[2] = "0";
            }
            if (f[3].empty()) {
                f[3] = "0";
            }
            TParamTable phase;
            phase.Id = text::StrToInt(f[2]);
            phase.Nom = "Phase " + f[2];
            compet.Store.AddPhase(phase);
            TParamTable pool;
            pool.Id = text::StrToInt(f[0]);
            pool.IdParent = phase.Id;
            pool.Valeur = text::StrToInt(f[3]);
            pool.Nom = f[1];
            compet.Store.AddPoule(pool);
        }
    } catch (const Error&) {
    }
}

inline void AddMatchs(TCompetition& compet, const TwwwFrm& www, std::vector<std::vector<std::string>> records) {
    try {
        for (auto& f : records) {
            TwwwFrm::TMatchRecord record = www.ParseMatchRecord(f);
            TParamMatch& m = record.Match;
            TParamTable player;
            player.IdParent = m.IdPoule;
            player.IdDest = m.IdPhase;
            for (int side = 0; side < 2; ++side) {
                player.Id = side == 0 ? m.Licence1 : m.Licence2;
                player.Nom = side == 0 ? record.Nom1 : record.Nom2;
                player.Valeur = -1;
                compet.Store.AddInscrit(player);
                player.Valeur = -1;
                compet.Store.AddJoueur(player);
            }
            compet.Store.AddMatch(m);
        }
    } catch (const Error&) {
    }
}

}  // namespace tavlor::fuzz
