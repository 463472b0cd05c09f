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

}  // namespace

void TIniFile::Load() {
    Sections_.clear();
    if (!FileExists(Path_)) {
        return;
    }
    Parse(text::Cp1252ToUtf8(ReadWholeFile(Path_)));
}

void TIniFile::Save() const {
    WriteFileAtomic(Path_, text::Utf8ToCp1252(Text()));
}

void TIniFile::Parse(std::string_view utf8) {
    Sections_.clear();
    Sections_.push_back({});
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t end = utf8.find('\n', pos);
        if (end == std::string_view::npos) end = utf8.size();
        std::string_view line = utf8.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
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
            out += "[" + s.Name + "]\r\n";
        }
        for (const TLine& l : s.Lines) {
            out += l.Key.empty() ? l.Raw : l.Key + "=" + l.Value;
            out += "\r\n";
        }
    }
    return out;
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
    for (const TSection& s : Sections_) {
        if (&s != &Sections_.front() && SameName(s.Name, name)) return &s;
    }
    return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(std::string_view section, std::string_view key) const {
    const TSection* s = FindSection(section);
    if (s == nullptr) return nullptr;
    for (const TLine& l : s->Lines) {
        if (!l.Key.empty() && SameName(l.Key, key)) return &l;
    }
    return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    if (const TSection* s = FindSection(section)) {
        for (const TLine& l : s->Lines) {
            if (!l.Key.empty()) out.emplace_back(l.Key, l.Value);
        }
    }
    return out;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    const TLine* l = FindKey(section, key);
    return l != nullptr ? l->Value : def;
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
    TSection* s = FindSection(section);
    if (s == nullptr) {
        Sections_.push_back({std::string(section), {}});
        s = &Sections_.back();
    }
    for (TLine& l : s->Lines) {
        if (!l.Key.empty() && SameName(l.Key, key)) {
            l.Value = clean;
            return;
        }
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
