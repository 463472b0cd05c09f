#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 in memory, restricted to the characters Windows-1252 can hold,
// and Windows-1252 bytes on the wire and in files. Every conversion between the
// two, and every comparison that depends on the code page, lives here.
namespace tavlor::text {

// Windows-1252 bytes to UTF-8. Exact for all 256 bytes: the five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls
// of the same value, so that any byte string survives the round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes, the exact inverse of Cp1252ToUtf8. A character
// the code page cannot hold becomes '?'; an invalid or truncated UTF-8 sequence
// becomes one '?' per offending byte.
std::string Utf8ToCp1252(std::string_view utf8);

// The same text as valid UTF-8 holding only characters Windows-1252 can
// represent, anything else replaced by "?" (same rules as Utf8ToCp1252). Pure
// ASCII input is returned as a copy after a single scan.
std::string ToCp1252Range(std::string_view utf8);

// One character as the program holds it: its UTF-8 bytes when Windows-1252
// can represent it, "?" otherwise.
std::string CharacterText(char32_t codePoint);

// Number of characters (code points); an invalid byte counts as one character.
std::size_t Length(std::string_view utf8);

// The first n characters, never cutting inside a character.
std::string Left(std::string_view utf8, std::size_t n);

// Compares by Windows-1252 codes, ASCII letters ignoring case (a-z are taken as
// A-Z, so "_" sorts after every letter); accented letters compare by their code.
// Negative, zero or positive.
int CompareTextAscii(std::string_view a, std::string_view b);

// French collation for people's names. Levels, each deciding only when the
// previous ones tie: letters without accents or case (oe/ae/ss ligatures
// expanded; spaces and punctuation before digits, digits before letters), then
// accents (unaccented first), then case and ligatures (lower case first), then
// the Windows-1252 codes. Only identical texts compare equal.
int CollateCompare(std::string_view a, std::string_view b);

}  // namespace tavlor::text
