#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavlor {

// A settings file in the usual INI layout ("[SECTION]", "key=value"), read and
// written whole. Section and key names compare without regard to ASCII case;
// values are trimmed. Writing a key replaces its value where it stands, or
// adds it at the end of its section, so that everything else in the file
// (other sections, unknown keys, comments) is kept as it was.
// The file is read as the user's editor left it and written back the same
// way:
// - lines end with CR LF, LF or a lone CR; the file is written with the
//   line break its first line ends with (CR LF for a new file);
// - on disk the text is Windows-1252, unless the file starts with the UTF-8
//   byte-order mark: it is then UTF-8 throughout and is written back in
//   UTF-8 after its mark, lines the program does not change byte for byte
//   (the values read give "?" for characters Windows-1252 cannot hold);
// - a section may appear more than once: all make one section, and a
//   key given more than once takes the value given last in the file.
//   Writing a key sets every line that gives it, so that a program reading
//   only the first one finds the same value.
// In memory the text is UTF-8.
class TIniFile {
public:
    TIniFile() = default;
    explicit TIniFile(std::string path) : Path_(std::move(path)) {}

    // Reads the file; a missing file reads as empty. Throws tavlor::Error when
    // the file exists but cannot be read.
    void Load();
    // Writes the whole file atomically; throws tavlor::Error naming the file.
    void Save() const;
    const std::string& Path() const { return Path_; }
    void SetPath(std::string path) { Path_ = std::move(path); }

    // The text without the byte-order mark (a leading U+FEFF marks it for writing).
    void Parse(std::string_view utf8);
    std::string Text() const;
    // The bytes Save writes.
    std::string Bytes() const;
    bool Utf8() const { return Utf8_; }

    // Writes every key of another file over this one's: what it gives wins.
    void Merge(const TIniFile& later);

    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    // A decimal number (or 0x followed by hexadecimal digits) within 32 bits;
    // anything else gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
    void WriteString(std::string_view section, std::string_view key, const std::string& value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    bool SectionExists(std::string_view section) const;
    // Every key of a section with its value, in the file's order.
    std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

private:
    struct TLine {
        std::string Raw;  // the line as read, for lines that are not keys
        std::string Key;  // empty for other lines
        std::string Value;
    };
    struct TSection {
        std::string Name;  // empty for the lines before the first section
        std::vector<TLine> Lines;
    };
    const TSection* FindSection(std::string_view name) const;
    const TLine* FindKey(std::string_view section, std::string_view key) const;

    std::string Path_;
    std::vector<TSection> Sections_;
    bool Utf8_ = false;
    std::string LineBreak_ = "\r\n";
};

}  // namespace tavlor
