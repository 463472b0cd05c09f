#include "commands/IniFile.h"

#include "model/Files.h"
#include "text/Cp1252.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace tavlor {

namespace {

std::string_view Trim(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Well-formed UTF-8: no stray continuation byte, no truncated, overlong or
// surrogate sequence, nothing past U+10FFFF.
bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            c = (c << 6) | (n & 0x3F);
        }
        constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (c < Least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

void TIniFile::Load() {
    Sections_.clear();
    Utf8_ = false;
    LineBreak_ = "\r\n";
    if (!FileExists(Path_)) {
        return;
    }
    const std::string bytes = ReadWholeFile(Path_);
    const std::string_view view = bytes;
    if (view.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        const std::string_view rest = view.substr(ByteOrderMark.size());
        // Kept as written, to be written back so; the values are restricted
        // when read. A file marked UTF-8 but written in Windows-1252 still
        // keeps its accents.
        Parse(ValidUtf8(rest) ? std::string(rest) : text::Cp1252ToUtf8(rest));
        Utf8_ = true;
        return;
    }
    Parse(text::Cp1252ToUtf8(bytes));
}

std::string TIniFile::Bytes() const {
    return Utf8_ ? std::string(ByteOrderMark) + Text() : text::Utf8ToCp1252(Text());
}

void TIniFile::Save() const {
    WriteFileAtomic(Path_, Bytes());
}

void TIniFile::Parse(std::string_view utf8) {
    Sections_.clear();
    Sections_.push_back({});
    Utf8_ = utf8.substr(0, ByteOrderMark.size()) == ByteOrderMark;
    if (Utf8_) utf8.remove_prefix(ByteOrderMark.size());
    // The file's own line break, from its first line.
    const std::size_t first = utf8.find_first_of("\r\n");
    LineBreak_ = first == std::string_view::npos   ? "\r\n"
                 : utf8[first] == '\n'             ? "\n"
                 : utf8.substr(first, 2) == "\r\n" ? "\r\n"
                                                   : "\r";
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t end = utf8.find_first_of("\r\n", pos);
        std::size_t next = end;
        if (end == std::string_view::npos) {
            end = next = utf8.size();
        } else {
            next += utf8.substr(end, 2) == "\r\n" ? 2 : 1;
        }
        const std::string_view line = utf8.substr(pos, end - pos);
        pos = next;
        const std::string_view t = Trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            Sections_.push_back({std::string(Trim(t.substr(1, t.size() - 2))), {}});
            continue;
        }
        TLine l;
        l.Raw = std::string(line);
        const std::size_t eq = t.find('=');
        if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos && eq > 0) {
            l.Key = std::string(Trim(t.substr(0, eq)));
            l.Value = std::string(Trim(t.substr(eq + 1)));
        }
        Sections_.back().Lines.push_back(std::move(l));
    }
}

std::string TIniFile::Text() const {
    std::string out;
    for (const TSection& s : Sections_) {
        if (&s != &Sections_.front() || !s.Name.empty()) {
            out += "[" + s.Name + "]" + LineBreak_;
        }
        for (const TLine& l : s.Lines) {
            out += l.Key.empty() ? l.Raw : l.Key + "=" + l.Value;
            out += LineBreak_;
        }
    }
    return out;
}

void TIniFile::Merge(const TIniFile& later) {
    for (std::size_t k = 1; k < later.Sections_.size(); ++k) {
        const TSection& s = later.Sections_[k];
        if (s.Name.empty()) continue;
        for (const TLine& l : s.Lines) {
            if (!l.Key.empty()) WriteString(s.Name, l.Key, l.Value);
        }
    }
}

// The lines before the first section (the first entry) belong to no section.
const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
    for (std::size_t k = 1; k < Sections_.size(); ++k) {
        if (SameName(Sections_[k].Name, name)) return &Sections_[k];
    }
    return nullptr;
}

const TIniFile::TLine* TIniFile::FindKey(std::string_view section, std::string_view key) const {
    const TLine* found = nullptr;
    for (std::size_t k = 1; k < Sections_.size(); ++k) {
        if (!SameName(Sections_[k].Name, section)) continue;
        for (const TLine& l : Sections_[k].Lines) {
            if (!l.Key.empty() && SameName(l.Key, key)) found = &l;
        }
    }
    return found;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t k = 1; k < Sections_.size(); ++k) {
        if (!SameName(Sections_[k].Name, section)) continue;
        for (const TLine& l : Sections_[k].Lines) {
            if (l.Key.empty()) continue;
            const auto same = [&l](const auto& kv) { return SameName(kv.first, l.Key); };
            if (const auto at = std::find_if(out.begin(), out.end(), same); at != out.end()) {
                at->second = text::ToCp1252Range(l.Value);
            } else {
                out.emplace_back(text::ToCp1252Range(l.Key), text::ToCp1252Range(l.Value));
            }
        }
    }
    return out;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    const TLine* l = FindKey(section, key);
    return l != nullptr ? text::ToCp1252Range(l->Value) : def;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
    const TLine* l = FindKey(section, key);
    if (l == nullptr) return def;
    std::string_view v = l->Value;
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        std::int64_t n = 0;
        for (char c : v.substr(2)) {
            const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                          : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                      : -1;
            if (d < 0 || n > 0xFFFFFFF) return def;
            n = n * 16 + d;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
    }
    return text::ParseInt32(v).value_or(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, const std::string& value) {
    // A line break in a value would start a new line of the file.
    std::string clean = value;
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    if (Sections_.empty()) Sections_.push_back({});
    bool set = false;
    for (std::size_t k = 1; k < Sections_.size(); ++k) {
        if (!SameName(Sections_[k].Name, section)) continue;
        for (TLine& l : Sections_[k].Lines) {
            if (!l.Key.empty() && SameName(l.Key, key)) {
                // A value the program read and gives back unchanged stays as
                // the user wrote it, characters it cannot hold included.
                if (text::ToCp1252Range(l.Value) != clean) l.Value = clean;
                set = true;
            }
        }
    }
    if (set) return;
    // A new key goes where the section first appears, which every reader knows.
    auto* s = const_cast<TSection*>(FindSection(section));
    if (s == nullptr) {
        Sections_.push_back({std::string(section), {}});
        s = &Sections_.back();
    }
    // After the section's last key, before the blank lines that end it.
    auto at = s->Lines.end();
    while (at != s->Lines.begin() && std::prev(at)->Key.empty() && Trim(std::prev(at)->Raw).empty()) --at;
    s->Lines.insert(at, TLine{{}, std::string(key), clean});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, text::IntToStr(value));
}

}  // namespace tavlor
