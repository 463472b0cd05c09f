#pragma once

#include "model/Communs.h"
#include "model/CompetTables.h"
#include "model/Element.h"
#include "model/NodeTree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavlor {

// The data module: owns the competition's tables and its phase tree, and the
// store handlers that change them, which it plugs into the controller when it
// is created (and unplugs when it goes). The store keeps the tree in step with
// the tables: each phase, pool, registrant and pool member row holds the
// handle of its node in NODE.
class TdmLocal {
public:
    explicit TdmLocal(TCompetition& compet);
    ~TdmLocal();
    TdmLocal(const TdmLocal&) = delete;
    TdmLocal& operator=(const TdmLocal&) = delete;

    TCompetition& Compet() { return Compet_; }
    TCompetTables Tables;
    TNodeTree Tree;
    // The registrants folder node; 0 until it is first created.
    TNodeHandle RegistrantsNode = 0;

    // Registrants.
    void CreateNodeInscrits();
    bool AddInscrit(TParamTable& p);
    bool EditInscrit(TParamTable& p);
    // Ranks 1..N without gap in the order of the present ranks; a licence of 0
    // or more is moved to the wanted rank (clamped into 1..N) first.
    void RenumberInscrits(std::int32_t licence, std::int32_t rank);
    bool DelInscrit(TParamTable& p);
    // Order of two registrant nodes: by name (letters a-z ignoring case) when
    // "tri alpha des inscrits" is on, else by registration rank; 0 when either
    // licence is not registered.
    int CompareInscrits(std::int32_t licence1, std::int32_t licence2);

    // Order of two pool members: by name (a-z ignoring case) when "tri alpha
    // des inscrits" is on, else by arrival rank in the pool; 0 when either is missing.
    int CompareJoueurs(std::int32_t idPoule, std::int32_t licence1, std::int32_t licence2);
    // Order of two sibling nodes of the phase tree, by the kind of the first:
    // phases and the folder by number, pools by name ignoring case,
    // registrants and members as above.
    int CompareNodes(TNodeHandle a, TNodeHandle b);

    // Local files. Snapshots and exports go to DataFolder (the program's
    // folder, or the user's data folder where that cannot be written); with
    // no folder set, no snapshot is written or read.
    std::string DataFolder;
    // Folders a snapshot is also read from when DataFolder has none of the
    // competition (the program's folder when it cannot be written, where an
    // earlier copy may have left them), in order: the first folder holding a
    // file of the set gives the whole set. No snapshot is ever written or set
    // aside there (only what an interrupted save left is finished, where the
    // folder allows it); the next snapshot goes to DataFolder.
    std::vector<std::string> ReadFolders;
    // The controller's OnClear: writes the snapshot of the competition being
    // left, then empties the tables and the tree and starts a load.
    void ClearCompet();
    // The controller's OnAfterLoad: merges the snapshot of the loaded
    // competition, sorts the tree and ends the load, also when the merge fails.
    void AfterLoadCompet();
    // Writes the three files of the open competition's snapshot as one set
    // (WriteFilesTogether). While a file of the set that the merge could
    // neither read nor set aside is still in its place (see RestoreSnapshot),
    // writes nothing and throws tavlor::Error naming it.
    void SaveSnapshot();
    // Merges the snapshot of the open competition. A set an interrupted save
    // left half-replaced is first made whole. Each file is read on its own: one
    // that cannot be read as a snapshot (cut, empty, not XML, a required
    // field missing) is moved aside in DataFolder as
    // "<name>.endommagé-<date>-<time>.xml" and the others are still merged;
    // when rows of a file are refused by the store, the others are still
    // merged and a copy of the file is kept as "<name>.copie-<date>-<time>.xml".
    // A file that can be neither read nor set aside (or copied) stays where it
    // is and holds the snapshot (see SaveSnapshot); a set that cannot be made
    // whole is not read. Throws tavlor::Error once everything possible is
    // merged, one paragraph per file, each naming it.
    void RestoreSnapshot();
    // Makes whole every snapshot set of DataFolder that an interrupted save
    // left half-replaced, and removes the leftovers of interrupted saves.
    // The program calls it at start, before any competition is opened (a
    // merge recovers its own set anyway). Throws tavlor::Error naming a file
    // that could not be put in place.
    void RecoverSnapshots();
    // The snapshot file of a table ("Phases", "Inscrits", "Joueurs") for the open competition.
    std::string SnapshotPath(const std::string& table) const;
    void ExportInscrits(const std::string& path);
    // The registrants of the file who are not registered yet; answers how many
    // the file held and how many were added.
    struct TImported {
        int Read = 0;
        int Added = 0;
    };
    TImported ImportInscrits(const std::string& path);
    // True after a load stopped half-way: the tables were emptied again (the
    // part loaded is dropped), and no snapshot is merged into them or written
    // from them until the next whole load.
    bool PartialLoad() const { return PartialLoad_; }

    // Phases.
    bool AddPhase(TParamTable& p);
    bool EditPhase(TParamTable& p);
    bool DelPhase(TParamTable& p);

    // Pools. UpdatePoule renames (Nom), sets the formula (Valeur) or moves the
    // pool to the phase IdParent, whichever the record asks for first.
    bool AddPoule(TParamTable& p);
    bool UpdatePoule(TParamTable& p);
    bool TransferPoule(std::int32_t pool, std::int32_t fromPhase, std::int32_t toPhase);
    bool DelPoule(TParamTable& p);

    // Pool members. UpdateJoueur gives a new rank in the same pool (IdDest =
    // IdParent) or moves the member to the pool IdDest. DelJoueur takes the
    // player out of the pool IdParent, or out of every pool with -1.
    bool AddJoueur(TParamTable& p);
    bool UpdateJoueur(TParamTable& p);
    bool TransferJoueur(std::int32_t licence, std::int32_t rank, std::int32_t toPool, std::int32_t fromPool);
    bool DelJoueur(TParamTable& p);
    bool RemoveJoueur(std::int32_t licence, std::int32_t pool);
    // Arrival ranks 1..k without gap in the order of the present ranks; a
    // licence of 0 or more goes to the wanted rank (last when outside 1..k).
    bool RenumberPoule(std::int32_t licence, std::int32_t rank, std::int32_t pool);

    // Matches and billiard sizes.
    bool AddMatch(TParamMatch& m);
    bool EditMatch(TParamMatch& m);
    bool DelMatch(TParamMatch& m);
    void AddBillard(std::int32_t size, const std::string& label);

    // The label of a tree element (kind, number, parent number), as the tree
    // shows it and as the store's messages name it.
    std::string GetNomElement(const TElement& element);
    std::string RegistrantLabel(std::int32_t licence) { return GetNomElement({NodeRegistrant, licence}); }
    std::string PhaseLabel(std::int32_t phase) { return GetNomElement({NodePhase, phase}); }
    std::string PoolLabel(std::int32_t pool) { return GetNomElement({NodePool, pool}); }
    // The element of a node of the tree: its kind, number and parent's number.
    TElement ElementOf(TNodeHandle node) const;
    // A member's short label: his name alone, "?" when not registered.
    std::string MemberShortLabel(std::int32_t licence);

    // "tri alpha des inscrits": registrants and pool members ordered by name
    // instead of by rank. Set by the command that ticks it.
    bool TriAlphaJoueurs() const { return TriAlpha_; }
    void SetTriAlphaJoueurs(bool on) { TriAlpha_ = on; }

private:
    TNodeHandle AddNode(TNodeHandle parent, std::int32_t id, TNodeKind kind);
    // Deletes the current row of the table and the tree node it keeps in NODE.
    void DeleteRowAndNode(TTable& table);
    // The checks shared by adding and correcting a match, in their order;
    // answers the match's pool.
    TRowView CheckMatch(const TParamMatch& m, const char* numberAction, const char* action);
    void InstallHandlers();
    // Every table emptied, the tree down to the registrants folder.
    void EmptyCompet();

    // The merge of one snapshot file read into Tables.tmp. A row the store
    // refuses is counted, the first reason kept, and the merge goes on.
    struct TRefusals {
        int Count = 0;
        std::string First;
        void Add(const std::string& reason);
    };
    void MergePhases(TRefusals& refusals);
    void MergeInscrits(TRefusals& refusals);
    void MergeJoueurs(TRefusals& refusals);
    std::string SnapshotName(const std::string& table) const;
    // The folder whose set is merged, its set made whole first; "" when none
    // holds one, or when DataFolder's cannot be made whole (the snapshot is
    // then held).
    std::string SnapshotFolderToRead(std::vector<std::string>& problems);

    TCompetition& Compet_;
    bool TriAlpha_ = false;
    void WriteMatch(TTable& matchs, const TParamMatch& m, bool withNumber);
    bool HasMatchOf(std::string_view scopeField, std::int32_t scope, std::int32_t licence);

    // Private cursors, so that the store's walks never move the main cursors
    // that views and callers rely on.
    bool PartialLoad_ = false;
    // Files of the open competition's snapshot in DataFolder that the merge
    // could neither read nor set aside: no snapshot is written over them.
    std::vector<std::string> HeldFiles_;
    std::unique_ptr<TTable> InscritsByLicence_;  // IDXLI
    std::unique_ptr<TTable> JoueursWork_;        // IDPHPO
};

}  // namespace tavlor
