// Local files: the snapshot that keeps what lives only in memory (phase
// names, registrants and pool memberships added by hand) across reloads, and
// the registrant export and import.
#include "model/dbLocal.h"

#include "model/DataPacket.h"
#include "model/Files.h"
#include "text/Numbers.h"

namespace tavlor {

std::string TdmLocal::SnapshotPath(const std::string& table) const {
    return JoinPath(DataFolder, Compet_.Discipline() + "_" + text::IntToStr(Compet_.IdCompet()) + table + ".xml");
}

void TdmLocal::SaveSnapshot() {
    if (Compet_.IdCompet() < 0 || DataFolder.empty() || PartialLoad_) {
        return;
    }
    // The three files fit together: they are replaced as a set or not at all.
    const std::string phases = WriteDataPacket(Tables.Phases);
    const std::string inscrits = WriteDataPacket(Tables.Inscrits);
    const std::string joueurs = WriteDataPacket(Tables.Joueurs);
    WriteFilesTogether(
        {{SnapshotPath("Phases"), phases}, {SnapshotPath("Inscrits"), inscrits}, {SnapshotPath("Joueurs"), joueurs}});
}

void TdmLocal::ClearCompet() {
    // The snapshot is written before anything is emptied: when it cannot be
    // written, the error stops the load with the competition still whole.
    SaveSnapshot();
    Tree.BeginUpdate();
    EmptyCompet();
    Compet_.Chargement = true;
}

void TdmLocal::EmptyCompet() {
    Tree.Clear();
    Tables.Matchs.EmptyTable();
    Tables.Joueurs.EmptyTable();
    Tables.Poules.EmptyTable();
    Tables.Phases.EmptyTable();
    Tables.Inscrits.EmptyTable();
    Tables.Billards.EmptyTable();
    RegistrantsNode = 0;
    CreateNodeInscrits();
}

void TdmLocal::AfterLoadCompet() {
    struct TEndOfLoad {
        TdmLocal& Dm;
        ~TEndOfLoad() {
            Dm.Tree.EndUpdate();
            Dm.Compet_.Chargement = false;
        }
    } end{*this};
    // A download stopped half-way: the controller still names the competition
    // left, whose snapshot must not be mixed into these tables, and the part
    // of the new one is no competition the user could work on. The tables go
    // back to the empty state of no competition.
    PartialLoad_ = !Compet_.ListsComplete;
    if (PartialLoad_) {
        EmptyCompet();
        return;
    }
    try {
        RestoreSnapshot();
    } catch (...) {
        // What was merged stays; the tree is still put in order for the user.
        Tree.Sort([this](TNodeHandle a, TNodeHandle b) { return CompareNodes(a, b); });
        throw;
    }
    Tree.Sort([this](TNodeHandle a, TNodeHandle b) { return CompareNodes(a, b); });
}

void TdmLocal::RestoreSnapshot() {
    if (Compet_.IdCompet() < 0 || DataFolder.empty() || PartialLoad_) {
        return;
    }
    Compet_.Chargement = true;
    TTable& tmp = Tables.tmp;
    auto rankOf = [&tmp](int rgaField) {
        return rgaField >= 0 && !tmp.IsNull(rgaField) ? tmp.AsInteger(rgaField) : -1;
    };

    // Each row costs a few hash lookups: the fields are found once per file,
    // rows already in memory are found without moving a cursor, and a row is
    // written only when its value changes.
    if (const std::string path = SnapshotPath("Phases"); FileExists(path)) {
        LoadDataPacketFile(path, tmp);
        tmp.First();
        const int idField = tmp.Eof() ? -1 : tmp.RequireField("IDPHASE");
        const int nameField = tmp.Eof() ? -1 : tmp.RequireField("NOMPHASE");
        for (; !tmp.Eof(); tmp.Next()) {
            TParamTable p;
            p.Id = tmp.AsInteger(idField);
            p.Nom = tmp.AsString(nameField);
            TTable& phases = Tables.Phases;
            if (phases.Locate("IDPHASE", {p.Id})) {
                phases.Edit();
                phases.SetString("NOMPHASE", p.Nom);
                phases.Post();
            } else {
                AddPhase(p);
            }
        }
    }
    if (const std::string path = SnapshotPath("Inscrits"); FileExists(path)) {
        LoadDataPacketFile(path, tmp);
        tmp.First();
        const int rga = tmp.FieldIndex("RGA");
        const int licenceField = tmp.Eof() ? -1 : tmp.RequireField("LICENCE");
        const int nameField = tmp.Eof() ? -1 : tmp.RequireField("NOM");
        TTableData& inscrits = Tables.Inscrits.Data();
        const int inscritsLicence = inscrits.FieldByName("LICENCE").StorageIndex;
        const int inscritsRank = inscrits.FieldByName("RGA").StorageIndex;
        for (; !tmp.Eof(); tmp.Next()) {
            TParamTable p;
            p.Id = tmp.AsInteger(licenceField);
            p.Valeur = rankOf(rga);
            const TValue licence(p.Id);
            if (const TRow* row = inscrits.FindFirst(inscritsLicence, licence)) {
                if (ValueAsInteger(row->Values[inscritsRank]) != p.Valeur || IsNull(row->Values[inscritsRank])) {
                    EditInscrit(p);
                }
            } else {
                p.Nom = tmp.AsString(nameField);
                AddInscrit(p);
            }
        }
    }
    if (const std::string path = SnapshotPath("Joueurs"); FileExists(path)) {
        LoadDataPacketFile(path, tmp);
        tmp.First();
        const int rga = tmp.FieldIndex("RGA");
        const int licenceField = tmp.Eof() ? -1 : tmp.RequireField("LICENCE");
        const int poolField = tmp.Eof() ? -1 : tmp.RequireField("IDPOULE");
        TTableData& poules = Tables.Poules.Data();
        const int poolsPool = poules.FieldByName("IDPOULE").StorageIndex;
        const int poolsPhase = poules.FieldByName("IDPHASE").StorageIndex;
        TTableData& joueurs = Tables.Joueurs.Data();
        const int memberSlots[2] = {joueurs.FieldByName("IDPOULE").StorageIndex,
                                    joueurs.FieldByName("LICENCE").StorageIndex};
        const int memberRank = joueurs.FieldByName("RGA").StorageIndex;
        for (; !tmp.Eof(); tmp.Next()) {
            TParamTable p;
            p.Id = tmp.AsInteger(licenceField);
            p.IdParent = tmp.AsInteger(poolField);
            const TRow* pool = poules.FindFirst(poolsPool, TValue(p.IdParent));
            if (pool == nullptr) {
                continue;  // a pool the server no longer has
            }
            p.IdDest = ValueAsInteger(pool->Values[poolsPhase]);
            p.Valeur = rankOf(rga);
            const TValue key[2] = {TValue(p.IdParent), TValue(p.Id)};
            const auto* present = joueurs.RowsHolding(memberSlots, key, 2);
            if (present == nullptr) {
                AddJoueur(p);
                continue;
            }
            bool same = true;
            for (const TRow* row : *present) {
                same = same && !IsNull(row->Values[memberRank]) && ValueAsInteger(row->Values[memberRank]) == p.Valeur;
            }
            if (!same) {
                TTable& members = *JoueursWork_;
                members.Locate("IDPOULE;LICENCE", {p.IdParent, p.Id});
                members.Edit();
                members.SetInteger("RGA", p.Valeur);
                members.Post();
            }
        }
    }
}

void TdmLocal::ExportInscrits(const std::string& path) {
    SaveDataPacket(Tables.Inscrits, path);
}

TdmLocal::TImported TdmLocal::ImportInscrits(const std::string& path) {
    TImported imported;
    if (!FileExists(path)) {
        return imported;
    }
    const bool hadRegistrants = Tables.Inscrits.Data().RowCount() > 0;
    TTable& tmp = Tables.tmp;
    LoadDataPacketFile(path, tmp);
    const int licence = tmp.RequireField("LICENCE");
    const int name = tmp.RequireField("NOM");
    const int rga = tmp.FieldIndex("RGA");
    for (tmp.First(); !tmp.Eof(); tmp.Next()) {
        ++imported.Read;
        TParamTable p;
        p.Id = tmp.AsInteger(licence);
        p.Nom = tmp.AsString(name);
        // Into a list that already has registrants, the new ones come after them, in file order.
        p.Valeur = (!hadRegistrants && rga >= 0 && !tmp.IsNull(rga)) ? tmp.AsInteger(rga) : -1;
        if (!Tables.Inscrits.Data().Lookup("LICENCE", {p.Id}) && AddInscrit(p)) {
            ++imported.Added;
        }
    }
    return imported;
}

}  // namespace tavlor
