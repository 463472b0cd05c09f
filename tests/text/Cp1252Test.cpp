#include "text/Cp1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tavlor::text {
namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(Cp1252Test, EveryByteRoundTripsBothWays) {
    const std::string bytes = AllBytes();
    const std::string utf8 = Cp1252ToUtf8(bytes);
    EXPECT_EQ(Utf8ToCp1252(utf8), bytes);
    // The UTF-8 form of every byte is valid and inside the code page.
    EXPECT_EQ(ToCp1252Range(utf8), utf8);
    EXPECT_EQ(Length(utf8), 256u);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string u = Cp1252ToUtf8(one);
        EXPECT_EQ(Utf8ToCp1252(u), one) << "byte " << b;
        EXPECT_EQ(Cp1252ToUtf8(Utf8ToCp1252(u)), u) << "byte " << b;
        EXPECT_EQ(Length(u), 1u) << "byte " << b;
    }
}

TEST(Cp1252Test, HighBytesFollowTheWindowsTable) {
    std::string high;
    for (int b = 0x80; b < 0xA0; ++b) {
        high += static_cast<char>(b);
    }
    EXPECT_EQ(Cp1252ToUtf8(high), "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\x8C\x9C"), "Œœ");
    EXPECT_EQ(Cp1252ToUtf8("\x99"), "™");
    EXPECT_EQ(Cp1252ToUtf8("\x92\x96\x9F"), "’–Ÿ");
    EXPECT_EQ(Cp1252ToUtf8("\x8A\x8E\x9A\x9E"), "ŠŽšž");
    EXPECT_EQ(Cp1252ToUtf8("comp\xE9tition \xE0 10\x80"), "compétition à 10€");
    EXPECT_EQ(Cp1252ToUtf8("\xA0\xFF"), "\u00A0ÿ");
    // The undefined bytes keep the C1 control of the same value.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");

    EXPECT_EQ(Utf8ToCp1252("Œuvre à 5 €"), "\x8Cuvre \xE0 5 \x80");
    EXPECT_EQ(Utf8ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("Łódź"), std::string("?\xF3") + "d?");
    EXPECT_EQ(ToCp1252Range("Łódź"), "?ód?");
    EXPECT_EQ(Utf8ToCp1252("中文名"), "???");
    EXPECT_EQ(ToCp1252Range("Zhang 张伟"), "Zhang ??");
    EXPECT_EQ(Utf8ToCp1252("a😀b"), "a?b");
    EXPECT_EQ(ToCp1252Range("a😀b"), "a?b");
    // C1 controls other than the five undefined bytes have no byte of their own.
    EXPECT_EQ(Utf8ToCp1252("\u0080\u0081\u009F"), "?\x81?");
    EXPECT_EQ(ToCp1252Range("\u0080\u0081\u009F"), "?\u0081?");
    EXPECT_EQ(ToCp1252Range("\u2122\u2019"), "™’");
}

TEST(Cp1252Test, OneCharacterAsTheProgramHoldsIt) {
    EXPECT_EQ(CharacterText(U'A'), "A");
    EXPECT_EQ(CharacterText(U'['), "[");
    EXPECT_EQ(CharacterText(0xE9), "\xC3\xA9");        // é
    EXPECT_EQ(CharacterText(0x20AC), "\xE2\x82\xAC");  // the euro sign, 0x80 in the code page
    EXPECT_EQ(CharacterText(0x100), "?");              // past the code page
    EXPECT_EQ(CharacterText(0xD800), "?");             // a surrogate is no character
    EXPECT_EQ(CharacterText(0x110000), "?");
}

TEST(Cp1252Test, InvalidUtf8GivesOneQuestionMarkPerByte) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"\xFF", "?"},
        {std::string("a\x80") + "b", "a?b"},     // stray continuation byte
        {"caf\xE9", "caf?"},                     // Windows-1252 text read as UTF-8
        {"\xC0\xAF", "??"},                      // overlong '/'
        {"\xE0\x80\xAF", "???"},                 // overlong, three bytes
        {"\xED\xA0\x80", "???"},                 // surrogate
        {"\xF4\x90\x80\x80", "????"},            // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", "?????"},       // five-byte form
        {"\xE2\x82", "??"},                      // truncated euro sign at the end
        {std::string("\xE2\x82") + "A", "??A"},  // truncated, then a valid character
        {"\xF0\x9F\x98", "???"},                 // truncated emoji
        {"\xC3", "?"},                           // lone lead byte at the very end
        {"\xC3\xA9\xC3", "\xE9?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.in), c.out) << c.in;
        const std::string ranged = ToCp1252Range(c.in);
        EXPECT_EQ(Utf8ToCp1252(ranged), c.out) << c.in;
        EXPECT_EQ(ToCp1252Range(ranged), ranged) << "ranged text must be valid UTF-8: " << c.in;
        EXPECT_EQ(Length(c.in), c.out.size()) << c.in;
    }
}

TEST(Cp1252Test, AsciiPassesThroughUnchanged) {
    const std::string ascii = "Poule A - 3 bandes\t(R1)\r\n";
    EXPECT_EQ(ToCp1252Range(ascii), ascii);
    EXPECT_EQ(Utf8ToCp1252(ascii), ascii);
    EXPECT_EQ(Cp1252ToUtf8(ascii), ascii);
    EXPECT_EQ(ToCp1252Range(""), "");
    EXPECT_EQ(ToCp1252Range("Ligue d’Île-de-France 😀"), "Ligue d’Île-de-France ?");
}

TEST(Cp1252Test, LengthAndLeftCountCharactersNotBytes) {
    EXPECT_EQ(Length(""), 0u);
    EXPECT_EQ(Length("é€Œ"), 3u);
    EXPECT_EQ(Left("é€Œ", 2), "é€");
    EXPECT_EQ(Left("é€Œ", 0), "");
    EXPECT_EQ(Left("é€Œ", 99), "é€Œ");
    EXPECT_EQ(Left("a😀b", 2), "a😀");

    // A 60-character name cut to a field of width 50.
    const std::string name = "Jean-François-Xavier Hervé de la Fère-Champenoise Œdipe Noël";
    ASSERT_EQ(Length(name), 60u);
    const std::string cut = Left(name, 50);
    EXPECT_EQ(cut, "Jean-François-Xavier Hervé de la Fère-Champenoise ");
    EXPECT_EQ(Length(cut), 50u);
    EXPECT_EQ(Utf8ToCp1252(cut).size(), 50u);
    EXPECT_EQ(Left(name, 52), "Jean-François-Xavier Hervé de la Fère-Champenoise Œd");
    for (std::size_t n = 0; n <= 60; ++n) {
        const std::string prefix = Left(name, n);
        EXPECT_EQ(Length(prefix), n);
        EXPECT_EQ(ToCp1252Range(prefix), prefix) << "cut inside a character at " << n;
    }
}

TEST(Cp1252Test, CompareTextAsciiIgnoresCaseOfAsciiLettersOnly) {
    EXPECT_EQ(CompareTextAscii("Poule a", "POULE A"), 0);
    EXPECT_EQ(CompareTextAscii("", ""), 0);
    EXPECT_LT(CompareTextAscii("apple", "Zebra"), 0);
    EXPECT_GT(CompareTextAscii("Zebra", "apple"), 0);
    EXPECT_LT(CompareTextAscii("abc", "ABCD"), 0);
    EXPECT_GT(CompareTextAscii("abc", ""), 0);
    // Accented letters keep their own codes: É is 0xC9, é is 0xE9.
    EXPECT_NE(CompareTextAscii("é", "É"), 0);
    EXPECT_LT(CompareTextAscii("École", "école"), 0);
    EXPECT_NE(CompareTextAscii("œ", "Œ"), 0);
    // Code-page order, not UTF-8 byte order: € is 0x80, é is 0xE9, ’ is 0x92.
    EXPECT_LT(CompareTextAscii("€", "é"), 0);
    EXPECT_LT(CompareTextAscii("’", "ÿ"), 0);
    EXPECT_LT(CompareTextAscii("z", "é"), 0);
    // Letters are taken as capitals, so the characters between Z and a sort after them.
    EXPECT_LT(CompareTextAscii("a", "_"), 0);
    EXPECT_LT(CompareTextAscii("Z", "_"), 0);
}

TEST(Cp1252Test, CollationOrdersFrenchNames) {
    const std::vector<std::string> expected = {
        "123",     "Celik",       "Çelik",       "D'Artagnan", "De La Tour", "Delatour", "Duboeuf", "Dubœuf",  "Dubois",
        "dupont",  "Dupont",      "Dupre",       "dupré",      "Dupré",      "Dupuis",   "Duval",   "Élodie",  "Eloi",
        "Émile",   "Jean Pierre", "Jean-Pierre", "Jeanne",     "Mueller",    "Muller",   "Müller",  "Oeuvray", "Œuvray",
        "Strasse", "Straße",      "van Gogh",    "Van Gogh",   "Zoe",        "Zoé",
    };
    std::vector<std::string> names = expected;
    std::mt19937 rng(12345);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(names.begin(), names.end(), rng);
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return CollateCompare(a, b) < 0; });
        EXPECT_EQ(names, expected);
    }
}

TEST(Cp1252Test, CollationLevels) {
    // Primary: case and accents do not count, ligatures expand.
    EXPECT_LT(CollateCompare("dupond", "DUPONT"), 0);
    EXPECT_LT(CollateCompare("Cœur", "Coeurs"), 0);
    EXPECT_LT(CollateCompare("Jæger", "Jaf"), 0);
    EXPECT_LT(CollateCompare("Weiß", "Weist"), 0);
    EXPECT_LT(CollateCompare("ÿ", "z"), 0);
    // Spaces, then punctuation, then digits, then letters.
    EXPECT_LT(CollateCompare(" ", "-"), 0);
    EXPECT_LT(CollateCompare("-", "0"), 0);
    EXPECT_LT(CollateCompare("9", "a"), 0);
    EXPECT_LT(CollateCompare("Poule 2", "Poule A"), 0);
    // Secondary: no accent first, then acute, grave, circumflex, diaeresis; read left to right.
    const std::vector<std::string> accents = {"e", "é", "è", "ê", "ë"};
    for (std::size_t i = 1; i < accents.size(); ++i) {
        EXPECT_LT(CollateCompare(accents[i - 1], accents[i]), 0) << accents[i];
    }
    EXPECT_LT(CollateCompare("cote", "coté"), 0);
    EXPECT_LT(CollateCompare("coté", "côte"), 0);
    EXPECT_LT(CollateCompare("côte", "côté"), 0);
    // An accent outweighs case, case outweighs the code.
    EXPECT_LT(CollateCompare("Dupre", "dupré"), 0);
    EXPECT_LT(CollateCompare("dupont", "Dupont"), 0);
    EXPECT_LT(CollateCompare("Dupont", "dupré"), 0);
    EXPECT_LT(CollateCompare("oe", "œ"), 0);
    EXPECT_LT(CollateCompare("œ", "OE"), 0);
    EXPECT_LT(CollateCompare("OE", "Œ"), 0);
    // Only identical texts are equal.
    EXPECT_EQ(CollateCompare("Dupré", "Dupré"), 0);
    EXPECT_NE(CollateCompare("a b", "a\u00A0b"), 0);
    EXPECT_NE(CollateCompare("Ł", "Ś"), 0);  // both '?' in the code page
    EXPECT_NE(CollateCompare("?", "Ł"), 0);
}

TEST(Cp1252Test, CollationIsAStrictTotalOrder) {
    std::vector<std::string> texts = {
        "",  " ", "a", "A", "à", "À", "ae", "æ", "Æ",    "AE",    "oe",       "œ",     "Œ",   "ss", "ß",
        "e", "é", "É", "E", "1", "¹", "-",  "'", "’",    "a b",   "a\u00A0b", "ab",    "a-b", "€",  "$",
        "ÿ", "Ÿ", "y", "þ", "z", "µ", "Ł",  "?", "\xFF", "Dupré", "dupré",    "DUPRE", "ª",   "º",  "o"};
    for (int b = 0; b < 256; ++b) {
        texts.push_back(Cp1252ToUtf8(std::string(1, static_cast<char>(b))));
    }
    const std::size_t n = texts.size();
    std::vector<std::vector<int>> c(n, std::vector<int>(n));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            c[i][j] = Sign(CollateCompare(texts[i], texts[j]));
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            ASSERT_EQ(c[i][j], -c[j][i]) << texts[i] << " / " << texts[j];
            ASSERT_EQ(c[i][j] == 0, texts[i] == texts[j]) << texts[i] << " / " << texts[j];
            for (std::size_t k = 0; k < n; ++k) {
                if (c[i][j] < 0 && c[j][k] < 0) {
                    ASSERT_LT(c[i][k], 0) << texts[i] << " < " << texts[j] << " < " << texts[k];
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavlor::text
