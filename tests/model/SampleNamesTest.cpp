// The names of the large sample competition: family names in capitals,
// accented letters included.
#include "sample/SampleCompetition.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tavlor {
namespace {

TEST(SampleNames, EveryLowerCaseLetterOfTheCodePageHasItsCapital) {
    EXPECT_EQ(sample::UpperName("Lefèvre"), "LEFÈVRE");
    EXPECT_EQ(sample::UpperName("Nöel"), "NÖEL");
    EXPECT_EQ(sample::UpperName("Cœur"), "CŒUR");
    EXPECT_EQ(sample::UpperName("D'Arcy 2"), "D'ARCY 2") << "other characters as they are";
    EXPECT_EQ(sample::UpperName("abcdefghijklmnopqrstuvwxyz"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(sample::UpperName("àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ"), "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ");
    EXPECT_EQ(sample::UpperName("šœžÿ"), "ŠŒŽŸ");
    // No capital in the code page, or no letter: unchanged.
    EXPECT_EQ(sample::UpperName("ß÷µªº"), "ß÷µªº");
    EXPECT_EQ(sample::UpperName("ÀÉŒŸ"), "ÀÉŒŸ");
    EXPECT_EQ(sample::UpperName(""), "");
}

TEST(SampleNames, TheLargeCompetitionsFamilyNamesAreInCapitals) {
    const sample::TSampleCompetition large = sample::MakeLargeCompetition();
    std::set<std::string> families;
    for (const sample::TSampleMatch& m : large.Matches) {
        for (const std::string& name : {m.Nom1, m.Nom2}) {
            families.insert(name.substr(0, name.find(' ')));
        }
    }
    for (const std::string& family : families) {
        EXPECT_EQ(family, sample::UpperName(family));
    }
    for (const char* accented : {"LEFÈVRE", "NÖEL", "CŒUR", "SÁNCHEZ", "MÜLLER", "GARÇON", "BRÛLÉ", "ÉTIENNE"}) {
        EXPECT_EQ(families.count(accented), 1u) << accented;
    }
}

}  // namespace
}  // namespace tavlor
