#pragma once

#include "model/Communs.h"
#include "model/CompetTables.h"
#include "model/NodeTree.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavlor {

class IViewHost;

// Node kinds of the phase tree.
enum TNodeKind : std::uint8_t {
    NodePhase = 0,
    NodePool = 1,
    NodeRegistrants = 2,
    NodeRegistrant = 3,
    NodeMember = 4,
};

// The data module: owns the competition's tables and its phase tree, and the
// store handlers that change them, which it plugs into the controller when it
// is created (and unplugs when it goes). The store keeps the tree in step with
// the tables: each phase, pool, registrant and pool member row holds the
// handle of its node in NODE.
class TdmLocal {
public:
    // The view host, when given, tells whether "tri alpha des inscrits" is on.
    explicit TdmLocal(TCompetition& compet, IViewHost* viewHost = nullptr);
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

    // Phases.
    bool AddPhase(TParamTable& p);
    bool EditPhase(TParamTable& p);
    bool DelPhase(TParamTable& p);

    // The label of a tree element (kind, number, parent number), as the tree
    // shows it and as the store's messages name it.
    std::string GetNomElement(std::uint8_t kind, std::int32_t id, std::int32_t idParent);
    std::string RegistrantLabel(std::int32_t licence) { return GetNomElement(NodeRegistrant, licence, -1); }
    std::string PhaseLabel(std::int32_t phase) { return GetNomElement(NodePhase, phase, -1); }
    std::string PoolLabel(std::int32_t pool) { return GetNomElement(NodePool, pool, -1); }

    bool TriAlphaJoueurs() const;

private:
    TNodeHandle AddNode(TNodeHandle parent, std::int32_t id, std::uint8_t kind, std::int32_t imageIndex);
    void InstallHandlers();

    TCompetition& Compet_;
    IViewHost* ViewHost_;
    // Walks registrants by licence whatever order the main cursor is in.
    std::unique_ptr<TTable> InscritsByLicence_;
};

}  // namespace tavlor
