#include "fedserver/FedWire.h"

#include "fedserver/FedData.h"
#include "text/Cp1252.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tavlor::fedserver {
namespace {

TEST(FedWire, FormDecodingReadsTheClientEncodingBackByteForByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string encoded = EncodeFormValue(all);
    EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%+"),
              std::string::npos);
    EXPECT_EQ(EncodeFormValue("Poule A"), "Poule+A");
    EXPECT_EQ(EncodeFormValue("2004-05-06"), "2004%2D05%2D06");
    EXPECT_EQ(EncodeFormValue("\xE9"), "%E9");

    const auto form = DecodeForm("NOM=" + encoded + "&EMPTY=&VTX=2%2E0%2E3&");
    ASSERT_TRUE(form);
    ASSERT_EQ(form->size(), 3u);
    EXPECT_EQ((*form)[0].Value, all);
    EXPECT_EQ((*form)[1].Value, "");
    EXPECT_EQ((*form)[2].Value, "2.0.3");
    ASSERT_NE(FindField(*form, "EMPTY"), nullptr);
    EXPECT_EQ(FindField(*form, "ABSENT"), nullptr);

    // Lower-case escapes are read too; broken escapes and pieces without "=" are not.
    EXPECT_EQ(DecodeForm("A=%e9")->at(0).Value, "\xE9");
    EXPECT_FALSE(DecodeForm("A=%E"));
    EXPECT_FALSE(DecodeForm("A=%G1"));
    EXPECT_FALSE(DecodeForm("A=1&B"));
    EXPECT_TRUE(DecodeForm("")->empty());
}

TEST(FedWire, MidnightInFranceFollowsSummerTime) {
    // Winter: UTC+1.
    EXPECT_EQ(ParisMidnight(2025, 11, 15), 1763161200);
    EXPECT_EQ(ParisMidnight(2026, 1, 1), 1767222000);
    // The change happens at 01:00 UTC on the last Sunday of March: its midnight is still winter time.
    EXPECT_EQ(ParisMidnight(2026, 3, 29), 1774738800);
    EXPECT_EQ(ParisMidnight(2026, 3, 30), 1774821600);
    EXPECT_EQ(ParisMidnight(2024, 3, 31), 1711839600);
    EXPECT_EQ(ParisMidnight(2024, 4, 1), 1711922400);
    // Summer: UTC+2, up to the last Sunday of October included.
    EXPECT_EQ(ParisMidnight(2026, 6, 13), 1781301600);
    EXPECT_EQ(ParisMidnight(2026, 10, 25), 1792879200);
    EXPECT_EQ(ParisMidnight(2024, 10, 27), 1729980000);
    EXPECT_EQ(ParisMidnight(2026, 10, 26), 1792969200);

    for (const TDay d : {TDay{2026, 3, 29}, TDay{2026, 3, 30}, TDay{2026, 10, 25}, TDay{2026, 10, 26},
                         TDay{2025, 12, 31}, TDay{2026, 7, 14}}) {
        const std::int64_t s = ParisMidnight(d.Year, d.Month, d.Day);
        // The day summer time starts lasts 23 hours only.
        for (const std::int64_t at : {s, s + 23 * 3600 - 1}) {
            const TDay back = ParisDay(at);
            EXPECT_EQ(back.Year, d.Year);
            EXPECT_EQ(back.Month, d.Month);
            EXPECT_EQ(back.Day, d.Day) << at;
        }
        EXPECT_EQ(ParisDay(s - 1).Day == d.Day, false);
    }
}

TEST(FedWire, IsoDaysAreStrict) {
    const auto d = ParseIsoDay("2004-05-06");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Year, 2004);
    EXPECT_EQ(d->Month, 5);
    EXPECT_EQ(d->Day, 6);
    EXPECT_TRUE(ParseIsoDay("2024-02-29"));
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-00-10", "2026-5-6", "06/05/2004", "2026-05-06 ",
                            "1969-12-31", "", "abcd-ef-gh"}) {
        EXPECT_FALSE(ParseIsoDay(bad)) << bad;
    }
}

TEST(FedWire, Md5IsTheUsualLowercaseDigest) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    // The Windows-1252 bytes of a password differ from its UTF-8 bytes.
    EXPECT_EQ(Md5Hex("Acad\xE9mie"), "990ef644f6e5de7ec3ed8c577a945e93");
    EXPECT_NE(Md5Hex("Académie"), Md5Hex("Acad\xE9mie"));
}

TEST(FedWire, CaseFoldingCoversAccentsAndLigatures) {
    EXPECT_EQ(FoldCase("DUPONT"), "dupont");
    EXPECT_EQ(FoldCase(text::Utf8ToCp1252("CŒUR ÉTIENNE Ÿ Š Ž ×")), text::Utf8ToCp1252("cœur étienne ÿ š ž ×"));
    EXPECT_EQ(FoldCase(text::Utf8ToCp1252("àéç€")), text::Utf8ToCp1252("àéç€"));
}

TEST(FedWire, DataTextsKeepTheirTerminatorsThroughTheTestModes) {
    TRecordWriter w;
    w.Text("Titre").Text("No").EndRecord();
    w.Text("Hélène\bx").Int(-12).Coef(0.9).EndRecord();
    w.Int(310).Coef(1.0).EndRecord();
    const std::string data = w.Take();
    EXPECT_EQ(data, "Titre\bNo\b\nH\xE9l\xE8ne x\b-12\b0.9\b\n310\b1.0\b\n");
    EXPECT_EQ(JoinData(SplitData(data)), data);
    EXPECT_EQ(FormatCoef(0.8), "0.8");
    EXPECT_EQ(FormatCoef(1.25), "1.25");

    EXPECT_EQ(DropLastFields(data, 1), "Titre\bNo\b\nH\xE9l\xE8ne x\b-12\b\n310\b\n");
    EXPECT_EQ(DropLastFields(data, 1, 2), "Titre\bNo\b\nH\xE9l\xE8ne x\b-12\b0.9\b\n310\b\n")
        << "the second data record";
    EXPECT_EQ(DropLastFields(data, 1, 3), data) << "no third data record";
    EXPECT_EQ(SpoilField(data, 1, 1), "Titre\bNo\b\nH\xE9l\xE8ne x\b-12x\b0.9\b\n310\b1.0x\b\n");
    EXPECT_EQ(SpoilField(data, 0, 5), data);

    // Replies that are no list: a bare number, two fields without a record end.
    EXPECT_EQ(DropLastFields("57", 0), "");
    EXPECT_EQ(SpoilField("57", 0, 0), "57x");
    EXPECT_EQ(DropLastFields("0.9\b30107\b", 0), "0.9\b");
    EXPECT_EQ(JoinData(SplitData("a\bb")), "a\bb");
}

TEST(FedWire, EnvelopePageCarriesWhatTheReplyHas) {
    const std::string both = [] {
        TReply r = DataReply("1\b\n");
        r.HasError = true;
        r.Error = "e";
        return EnvelopePage(r);
    }();
    EXPECT_NE(both.find("<DATAS_TX>1\b\n</DATAS_TX>"), std::string::npos);
    EXPECT_NE(both.find("<ERROR_TX>e</ERROR_TX>"), std::string::npos);
    const std::string error = EnvelopePage(ErrorReply("Poule inconnue : 9"));
    EXPECT_EQ(error.find("DATAS_TX"), std::string::npos);
    EXPECT_NE(error.find("<ERROR_TX>Poule inconnue : 9</ERROR_TX>"), std::string::npos);
    const std::string none = EnvelopePage(TReply{});
    EXPECT_EQ(none.find("_TX>"), std::string::npos);
    EXPECT_EQ(HtmlEscape("<a href='x'>&\"</a>"), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;");
}

TEST(FedData, SampleFederationIsConsistent) {
    const TFederation f = MakeFederation(false);
    ASSERT_EQ(f.Disciplines.size(), 4u);
    std::set<std::int32_t> competitions, pools, matches;
    for (const TDiscipline& d : f.Disciplines) {
        EXPECT_FALSE(d.Competitions.empty()) << d.Path;
        for (const TServedCompetition& c : d.Competitions) {
            EXPECT_TRUE(competitions.insert(c.Data.Id).second);
            EXPECT_EQ(c.Data.Title, c.Saison + " " + c.Niveau + " " + c.Categorie + " - " + c.Nom);
            std::map<std::int32_t, int> phaseOf;
            std::set<int> formulas;
            for (const sample::TSamplePool& p : c.Data.Pools) {
                EXPECT_TRUE(pools.insert(p.IdPoule).second);
                phaseOf[p.IdPoule] = p.Phase;
            }
            for (const sample::TSampleMatch& m : c.Data.Matches) {
                EXPECT_TRUE(matches.insert(m.IdMatch).second);
                ASSERT_EQ(phaseOf.count(m.IdPoule), 1u) << m.IdMatch;
                EXPECT_EQ(m.IdPhase, phaseOf[m.IdPoule]);
                EXPECT_NE(m.Licence1, m.Licence2);
                EXPECT_EQ(m.Pm1 + m.Pm2, 2);
                EXPECT_GE(m.Rep1, 1);
                EXPECT_LE(m.Ser1, m.Pts1);
                EXPECT_LE(m.Ser2, m.Pts2);
                const TDay day = ParisDay(m.DateSeconds);
                EXPECT_EQ(ParisMidnight(day.Year, day.Month, day.Day), m.DateSeconds);
            }
        }
    }
    // Deterministic: the same data on every call.
    const TFederation again = MakeFederation(false);
    EXPECT_EQ(again.Disciplines[2].Competitions[0].Data.Matches.back().Pts1,
              f.Disciplines[2].Competitions[0].Data.Matches.back().Pts1);

    const TServedCompetition split =
        ServedFromTitle({0, "FFB 2026 Championnat de France - Grande compétition", {}, {}, {}}, "Vichy");
    EXPECT_EQ(split.Saison, "FFB");
    EXPECT_EQ(split.Niveau, "2026");
    EXPECT_EQ(split.Categorie, "Championnat de France");
    EXPECT_EQ(split.Nom, "Grande compétition");
}

}  // namespace
}  // namespace tavlor::fedserver
