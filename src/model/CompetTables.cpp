#include "model/CompetTables.h"

namespace tavlor {

namespace {

TFieldDef Hidden(TFieldDef f) {
    f.Visible = false;
    return f;
}

TFieldDef Formatted(TFieldDef f, const char* format) {
    f.DisplayFormat = format;
    return f;
}

TFieldDef LookedUp(TFieldDef f, const TTable& from, const char* key, const char* lookupKey, const char* result) {
    f.Kind = TFieldKind::Lookup;
    f.Lookup = {from.SharedData(), key, lookupKey, result};
    return f;
}

TFieldDef Calculated(TFieldDef f) {
    f.Kind = TFieldKind::Calculated;
    return f;
}

// The stored fields of FiltreJoueurs and ClasstGal, in storage order.
std::vector<TFieldDef> PlayerFigures() {
    return {Hidden(IntegerField("IDPHASE")),
            Hidden(IntegerField("IDPOULE")),
            Formatted(IntegerField("LICENCE", "Licence"), LicenceFormat),
            Formatted(FloatField("PTS", "Points (3.10)"), PointsFormat),
            IntegerField("REP", "Reprises"),
            IntegerField("SER", "Série"),
            IntegerField("PM", "Pts match"),
            IntegerField("NM", "Nbre matchs"),
            FloatField("TV", "Taux victoire"),
            Formatted(FloatField("MG", "Moyenne (3.10)"), AverageFormat),
            IntegerField("CPO", "Classt poule"),
            IntegerField("CPH", "Classt phase"),
            IntegerField("CG", "Classt général"),
            Hidden(IntegerField("RGA")),
            FloatField("MPART", "MPART")};
}

std::vector<TFieldDef> MatchFields() {
    return {IntegerField("IDPHASE"),  IntegerField("IDPOULE"),    IntegerField("IDMATCH"), IntegerField("LICENCE1"),
            IntegerField("PTS1"),     IntegerField("REP1"),       IntegerField("SER1"),    IntegerField("PM1"),
            IntegerField("LICENCE2"), IntegerField("PTS2"),       IntegerField("REP2"),    IntegerField("SER2"),
            IntegerField("PM2"),      DateTimeField("DATEMATCH"), IntegerField("BD"),      FloatField("COEFBD")};
}

std::vector<TFieldDef> ShownMatchFields(const TTable& poules, const TTable& inscrits, const TTable& billards) {
    std::vector<TFieldDef> fields = {
        IntegerField("IDPHASE", "No Phase"),
        Hidden(IntegerField("IDPOULE")),
        Hidden(IntegerField("IDMATCH")),
        Formatted(IntegerField("LICENCE1", "Licence J1"), LicenceFormat),
        IntegerField("PTS1", "Pts J1"),
        IntegerField("REP1", "Rep J1"),
        IntegerField("SER1", "Ser J1"),
        IntegerField("PM1", "Pts Match J1"),
        Formatted(IntegerField("LICENCE2", "Licence J2"), LicenceFormat),
        IntegerField("PTS2", "Pts J2"),
        IntegerField("REP2", "Rep J2"),
        IntegerField("SER2", "Ser J2"),
        IntegerField("PM2", "Pts Match J2"),
        Formatted(DateTimeField("DATEMATCH", "Date match"), DateFormat),
        IntegerField("BD", "Billard"),
        Hidden(FloatField("COEFBD", "Coeff")),
        LookedUp(StringField("NOMPOULE", 50, "Poule"), poules, "IDPOULE", "IDPOULE", "NOMPOULE"),
        LookedUp(StringField("NOM1", 50, "Joueur 1"), inscrits, "LICENCE1", "LICENCE", "NOM"),
        LookedUp(StringField("NOM2", 50, "Joueur 2"), inscrits, "LICENCE2", "LICENCE", "NOM"),
        LookedUp(StringField("NOMBD", 10, "NOMBD"), billards, "BD", "TAILLE", "NOMBD"),
        Calculated(Formatted(FloatField("MOY1", "Moy J1"), AverageFormat)),
        Calculated(Formatted(FloatField("MOY2", "Moy J2"), AverageFormat)),
    };
    return fields;
}

std::vector<TFieldDef> ShownPlayerFields(const TTable& poules, const TTable& inscrits) {
    std::vector<TFieldDef> fields = PlayerFigures();
    fields.push_back(LookedUp(StringField("NOMPOULE", 50, "Poule"), poules, "IDPOULE", "IDPOULE", "NOMPOULE"));
    fields.push_back(LookedUp(StringField("NOM", 50, "Joueur"), inscrits, "LICENCE", "LICENCE", "NOM"));
    return fields;
}

std::vector<TIndexDef> RankingIndexes() {
    const bool D = true, A = false;
    return {
        {"IDXCPOULES0", {{"IDPOULE", D}, {"PM", D}, {"MG", D}, {"MPART", D}, {"SER", D}}},
        {"IDXCPOULES1", {{"IDPOULE", D}, {"TV", D}, {"MG", D}, {"MPART", D}, {"SER", D}}},
        {"IDXCPHASES", {{"IDPHASE", A}, {"CPO", A}, {"PM", D}, {"MG", D}, {"MPART", D}, {"SER", D}}},
        {"IDXCPHASES2", {{"IDPHASE", A}, {"CPO", A}, {"MG", D}, {"MPART", D}, {"SER", D}}},
        {"IDXCGENERAL", {{"IDPHASE", D}, {"CPH", A}, {"MG", D}}},
        {"IDXPHPOLI", {{"IDPHASE", A}, {"IDPOULE", A}, {"LICENCE", A}}},
    };
}

}  // namespace

TCompetTables::TCompetTables()
    : Phases("Phases", {IntegerField("IDPHASE"), StringField("NOMPHASE", 50), IntegerField("NODE")}),
      Poules("Poules",
             {IntegerField("IDPOULE"), StringField("NOMPOULE", 50), IntegerField("IDPHASE"), IntegerField("NODE"),
              IntegerField("FCLASST")},
             {{"IDXIDPOULE", {{"IDPOULE"}}}}),
      Inscrits("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50), IntegerField("NODE"), IntegerField("RGA")},
               {{"IDXLI", {{"LICENCE"}}}, {"IDXNOM", {{"NOM"}}}}),
      Joueurs("Joueurs",
              {IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE"), IntegerField("NODE"),
               IntegerField("RGA")},
              {{"IDPHPO", {{"IDPHASE"}, {"IDPOULE"}}}}),
      Matchs("Matchs", MatchFields()),
      Billards("Billards", {IntegerField("TAILLE"), StringField("NOMBD", 10)}, {{"ParTaille", {{"TAILLE"}}}}),
      FiltreJoueurs("FiltreJoueurs", ShownPlayerFields(Poules, Inscrits), RankingIndexes()),
      FiltreMatchs("FiltreMatchs", ShownMatchFields(Poules, Inscrits, Billards)),
      ClasstGal("ClasstGal", PlayerFigures()),
      tmp("tmp", {}) {
    Phases.SetIndexFieldNames("IDPHASE");
    Poules.SetIndexName("IDXIDPOULE");
    Inscrits.SetIndexName("IDXLI");
    Joueurs.SetIndexName("IDPHPO");
    Billards.SetIndexName("ParTaille");

    FiltreJoueurs.Data().SetDisplayOrder({"CPO", "CPH", "CG", "IDPHASE", "IDPOULE", "NOMPOULE", "LICENCE", "NOM", "NM",
                                          "PM", "TV", "MG", "PTS", "REP", "SER", "RGA", "MPART"});
    FiltreMatchs.Data().SetDisplayOrder({"IDPHASE",  "IDPOULE",  "DATEMATCH", "BD",   "IDMATCH", "NOMPOULE",
                                         "LICENCE1", "NOM1",     "PTS1",      "REP1", "SER1",    "PM1",
                                         "MOY1",     "LICENCE2", "NOM2",      "PTS2", "REP2",    "SER2",
                                         "PM2",      "MOY2",     "COEFBD",    "NOMBD"});
    FiltreMatchs.SetIndexFieldNames("IDPHASE;IDPOULE");
}

}  // namespace tavlor
