// Local files: the snapshot that keeps what lives only in memory (phase
// names, registrants and pool memberships added by hand) across reloads, and
// the registrant export and import.
#include "model/dbLocal.h"

#include "model/DataPacket.h"
#include "model/Files.h"
#include "model/FilesMessages.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <algorithm>
#include <ctime>
#include <string_view>

namespace tavlor {

namespace {

constexpr const char* SnapshotTables[3] = {"Phases", "Inscrits", "Joueurs"};

// "<discipline>_<number><table>.xml": the names SnapshotName makes.
bool IsSnapshotFileName(std::string_view name) {
    for (const std::string_view table : SnapshotTables) {
        const std::string tail = std::string(table) + ".xml";
        if (name.size() <= tail.size() || name.substr(name.size() - tail.size()) != tail) {
            continue;
        }
        const std::string_view head = name.substr(0, name.size() - tail.size());
        const std::size_t underscore = head.rfind('_');
        if (underscore == std::string_view::npos || underscore == 0 || underscore + 1 == head.size()) {
            return false;
        }
        const std::string_view number = head.substr(underscore + 1);
        return number.find_first_not_of("0123456789") == std::string_view::npos;
    }
    return false;
}

std::string Joined(const std::vector<std::string>& paragraphs) {
    std::string text;
    for (const std::string& p : paragraphs) {
        text += text.empty() ? "" : "\r\n\r\n";
        text += p;
    }
    return text;
}

}  // namespace

std::string TdmLocal::SnapshotName(const std::string& table) const {
    return Compet_.Discipline() + "_" + text::IntToStr(Compet_.IdCompet()) + table + ".xml";
}

std::string TdmLocal::SnapshotPath(const std::string& table) const {
    return JoinPath(DataFolder, SnapshotName(table));
}

void TdmLocal::SaveSnapshot() {
    if (Compet_.IdCompet() < 0 || DataFolder.empty() || PartialLoad_) {
        return;
    }
    // A file the merge could neither read nor keep aside is not written over
    // while it is there: the user moves it, or saves elsewhere.
    for (const char* table : SnapshotTables) {
        const std::string path = SnapshotPath(table);
        if (std::find(HeldFiles_.begin(), HeldFiles_.end(), path) != HeldFiles_.end() && FileExists(path)) {
            throw Error(msg::files::SnapshotHeld(path));
        }
    }
    // The three files fit together: they are replaced as a set or not at all.
    const std::string phases = WriteDataPacket(Tables.Phases);
    const std::string inscrits = WriteDataPacket(Tables.Inscrits);
    const std::string joueurs = WriteDataPacket(Tables.Joueurs);
    WriteFilesTogether(
        {{SnapshotPath("Phases"), phases}, {SnapshotPath("Inscrits"), inscrits}, {SnapshotPath("Joueurs"), joueurs}});
}

void TdmLocal::RecoverSnapshots() {
    if (!DataFolder.empty()) {
        RecoverFolder(DataFolder, IsSnapshotFileName);
    }
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

void TdmLocal::TRefusals::Add(const std::string& reason) {
    if (Count++ == 0) {
        First = reason;
    }
}

std::string TdmLocal::SnapshotFolderToRead(std::vector<std::string>& problems) {
    std::vector<std::string> folders{DataFolder};
    folders.insert(folders.end(), ReadFolders.begin(), ReadFolders.end());
    for (const std::string& folder : folders) {
        std::vector<std::string> paths;
        for (const char* table : SnapshotTables) {
            paths.push_back(JoinPath(folder, SnapshotName(table)));
        }
        try {
            try {
                RecoverFilesTogether(paths);
            } catch (const Error&) {
                // A replacement refused half-way was undone, leaving the old
                // set whole: a second pass then has nothing left to finish.
                RecoverFilesTogether(paths);
            }
        } catch (const Error& e) {
            // A set that cannot be made whole is not read: it may be half
            // new. What failed is still there, and refuses the next write too.
            problems.push_back(e.what());
            if (folder == DataFolder) {
                return {};
            }
            continue;
        }
        for (const std::string& path : paths) {
            if (FileExists(path)) {
                return folder;
            }
        }
    }
    return {};
}

void TdmLocal::RestoreSnapshot() {
    HeldFiles_.clear();
    if (Compet_.IdCompet() < 0 || DataFolder.empty() || PartialLoad_) {
        return;
    }
    Compet_.Chargement = true;
    std::vector<std::string> problems;
    const std::string folder = SnapshotFolderToRead(problems);
    // Only DataFolder is ever written: a file elsewhere needs no setting aside.
    const bool written = folder == DataFolder;
    const std::time_t now = std::time(nullptr);
    struct TFile {
        const char* Table;
        const char* Required[2];
        void (TdmLocal::*Merge)(TRefusals&);
    };
    static constexpr TFile Files[3] = {{"Phases", {"IDPHASE", "NOMPHASE"}, &TdmLocal::MergePhases},
                                       {"Inscrits", {"LICENCE", "NOM"}, &TdmLocal::MergeInscrits},
                                       {"Joueurs", {"LICENCE", "IDPOULE"}, &TdmLocal::MergeJoueurs}};
    for (const TFile& file : Files) {
        if (folder.empty()) {
            break;
        }
        const std::string path = JoinPath(folder, SnapshotName(file.Table));
        if (!FileExists(path)) {
            continue;
        }
        // Each file on its own: one that cannot be read costs only itself. It
        // is set aside before anything could be written over it.
        std::string bytes;
        try {
            bytes = ReadWholeFile(path);
        } catch (const Error& e) {
            if (written) {
                HeldFiles_.push_back(path);
            }
            problems.push_back(written ? msg::files::SnapshotNotSaved(e.what()) : e.what());
            continue;
        }
        try {
            LoadDataPacket(bytes, path, Tables.tmp);
            for (const char* field : file.Required) {
                RequireFileField(Tables.tmp, path, field);
            }
        } catch (const Error& e) {
            if (!written) {
                problems.push_back(msg::files::SnapshotLeftInPlace(e.what()));
                continue;
            }
            try {
                problems.push_back(
                    msg::files::SnapshotSetAside(e.what(), SetFileAside(path, msg::files::DamagedLabel, now, false)));
            } catch (const Error& aside) {
                HeldFiles_.push_back(path);
                problems.push_back(msg::files::SnapshotNotSaved(std::string(e.what()) + "\r\n" + aside.what()));
            }
            continue;
        }
        TRefusals refusals;
        (this->*file.Merge)(refusals);
        if (refusals.Count == 0) {
            continue;
        }
        // What could not be merged would be missing from the next snapshot: the file as read is kept.
        const std::string problem = msg::files::SnapshotRowsRefused(path, refusals.Count, refusals.First);
        if (!written) {
            problems.push_back(problem);
            continue;
        }
        try {
            problems.push_back(
                msg::files::SnapshotCopyKept(problem, SetFileAside(path, msg::files::CopyLabel, now, true)));
        } catch (const Error& aside) {
            HeldFiles_.push_back(path);
            problems.push_back(msg::files::SnapshotNotSaved(problem + "\r\n" + aside.what()));
        }
    }
    if (!problems.empty()) {
        throw Error(Joined(problems));
    }
}

// Each row costs a few hash lookups: the fields are found once per file,
// rows already in memory are found without moving a cursor, and a row is
// written only when its value changes.
void TdmLocal::MergePhases(TRefusals& refusals) {
    TTable& tmp = Tables.tmp;
    const int idField = tmp.FieldIndex("IDPHASE");
    const int nameField = tmp.FieldIndex("NOMPHASE");
    TTable& phases = Tables.Phases;
    for (tmp.First(); !tmp.Eof(); tmp.Next()) {
        try {
            TParamTable p;
            p.Id = tmp.AsInteger(idField);
            p.Nom = tmp.AsString(nameField);
            if (phases.Locate("IDPHASE", {p.Id})) {
                phases.Edit();
                phases.SetString("NOMPHASE", p.Nom);
                phases.Post();
            } else if (!AddPhase(p)) {
                refusals.Add(Compet_.LastError);
            }
        } catch (const Error& e) {
            refusals.Add(e.what());
        }
    }
}

void TdmLocal::MergeInscrits(TRefusals& refusals) {
    TTable& tmp = Tables.tmp;
    const int rga = tmp.FieldIndex("RGA");
    const int licenceField = tmp.FieldIndex("LICENCE");
    const int nameField = tmp.FieldIndex("NOM");
    TTableData& inscrits = Tables.Inscrits.Data();
    const int inscritsLicence = inscrits.FieldByName("LICENCE").StorageIndex;
    const int inscritsRank = inscrits.FieldByName("RGA").StorageIndex;
    for (tmp.First(); !tmp.Eof(); tmp.Next()) {
        try {
            TParamTable p;
            p.Id = tmp.AsInteger(licenceField);
            p.Valeur = rga >= 0 && !tmp.IsNull(rga) ? tmp.AsInteger(rga) : -1;
            const TValue licence(p.Id);
            bool merged = true;
            if (const TRow* row = inscrits.FindFirst(inscritsLicence, licence)) {
                if (ValueAsInteger(row->Values[inscritsRank]) != p.Valeur || IsNull(row->Values[inscritsRank])) {
                    merged = EditInscrit(p);
                }
            } else {
                p.Nom = tmp.AsString(nameField);
                merged = AddInscrit(p);
            }
            if (!merged) {
                refusals.Add(Compet_.LastError);
            }
        } catch (const Error& e) {
            refusals.Add(e.what());
        }
    }
}

void TdmLocal::MergeJoueurs(TRefusals& refusals) {
    TTable& tmp = Tables.tmp;
    const int rga = tmp.FieldIndex("RGA");
    const int licenceField = tmp.FieldIndex("LICENCE");
    const int poolField = tmp.FieldIndex("IDPOULE");
    TTableData& poules = Tables.Poules.Data();
    const int poolsPool = poules.FieldByName("IDPOULE").StorageIndex;
    const int poolsPhase = poules.FieldByName("IDPHASE").StorageIndex;
    TTableData& joueurs = Tables.Joueurs.Data();
    const int memberSlots[2] = {joueurs.FieldByName("IDPOULE").StorageIndex,
                                joueurs.FieldByName("LICENCE").StorageIndex};
    const int memberRank = joueurs.FieldByName("RGA").StorageIndex;
    for (tmp.First(); !tmp.Eof(); tmp.Next()) {
        try {
            TParamTable p;
            p.Id = tmp.AsInteger(licenceField);
            p.IdParent = tmp.AsInteger(poolField);
            const TRow* pool = poules.FindFirst(poolsPool, TValue(p.IdParent));
            if (pool == nullptr) {
                continue;  // a pool the server no longer has
            }
            p.IdDest = ValueAsInteger(pool->Values[poolsPhase]);
            p.Valeur = rga >= 0 && !tmp.IsNull(rga) ? tmp.AsInteger(rga) : -1;
            const TValue key[2] = {TValue(p.IdParent), TValue(p.Id)};
            const auto* present = joueurs.RowsHolding(memberSlots, key, 2);
            if (present == nullptr) {
                if (!AddJoueur(p)) {
                    refusals.Add(Compet_.LastError);
                }
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
        } catch (const Error& e) {
            refusals.Add(e.what());
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
    const int licence = RequireFileField(tmp, path, "LICENCE");
    const int name = RequireFileField(tmp, path, "NOM");
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
