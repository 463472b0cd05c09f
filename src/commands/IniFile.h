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
// In memory the text is UTF-8; on disk it is Windows-1252.
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

    void Parse(std::string_view utf8);
    std::string Text() const;

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
    TSection* FindSection(std::string_view name);
    const TLine* FindKey(std::string_view section, std::string_view key) const;

    std::string Path_;
    std::vector<TSection> Sections_;
};

}  // namespace tavlor
