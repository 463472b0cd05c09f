#include "commands/Settings.h"

#include "commands/IniFile.h"
#include "commands/SettingsMessages.h"
#include "commands/UserBoxes.h"
#include "model/Files.h"

#include <algorithm>
#include <exception>

namespace tavlor {

namespace keys = msg::settings;

TSettings::TSettings(std::string path, std::vector<std::string> builtIn, std::string readPath)
    : Path_(std::move(path)), ReadPath_(readPath == Path_ ? std::string() : std::move(readPath)) {
    for (std::string& address : builtIn) Entries_.push_back({std::move(address), TAddressEntry::TImage::Internet});
    nUrls_ = static_cast<int>(Entries_.size()) - 1;
}

void TSettings::Load(IUserBoxes& boxes) {
    const auto read = [&boxes](const std::string& path) {
        TIniFile ini(path);
        try {
            ini.Load();
        } catch (const std::exception& e) {
            // An unreadable file: the defaults, and the user is told.
            boxes.TopLevelError(e.what());
        }
        return ini;
    };
    TIniFile ini = read(ReadPath_.empty() ? Path_ : ReadPath_);
    if (!ReadPath_.empty()) ini.Merge(read(Path_));
    TellIfReadOnly(boxes);
    // nUrls is bounded: a hand-edited file cannot make the start read
    // millions of keys, nor leave recent entries among the addresses.
    constexpr int MaxUrls = 99;
    nUrls_ = std::clamp(ini.ReadInteger(keys::SectionUrls, keys::KeyNUrls, 3), -1, MaxUrls);
    for (int k = 0; k <= nUrls_; ++k) {
        std::string caption = ini.ReadString(keys::SectionUrls, std::to_string(k), "");
        if (caption.empty()) continue;
        if (k < static_cast<int>(Entries_.size())) {
            Entries_[static_cast<std::size_t>(k)].Caption = std::move(caption);
        } else {
            Entries_.push_back({std::move(caption), TAddressEntry::TImage::Internet});
        }
    }
    // The entries after nUrls must be recent competitions: nUrls never
    // points past the addresses that exist.
    nUrls_ = std::min(nUrls_, static_cast<int>(Entries_.size()) - 1);
    Layout_.clear();
    for (auto& [key, value] : ini.ReadSection(keys::SectionLayout)) Layout_[key] = value;
    for (TRecentCompet& r : RecentCompets_) r = TRecentCompet{};
    for (int n = static_cast<int>(RecentCount); n >= 1; --n) {
        const std::string section = std::string(keys::SectionRecent) + std::to_string(n);
        const std::int32_t id = ini.ReadInteger(section, keys::KeyIdCompet, -1);
        const std::string nom = ini.ReadString(section, keys::KeyNomCompet, "");
        const std::string url = ini.ReadString(section, keys::KeyUrl, "");
        AddRecentCompet(url, nom, id);
    }
    Changed();
}

bool TSettings::TellIfReadOnly(IUserBoxes& boxes) {
    if (!ReadOnlyByMode(Path_)) return false;
    if (!ToldReadOnly_) boxes.Information(keys::ReadOnlyFile(Path_));
    ToldReadOnly_ = true;
    return true;
}

bool TSettings::Save(IUserBoxes& boxes) {
    if (TellIfReadOnly(boxes)) return false;
    // The first save away from the file read starts from its content: what
    // this program does not know of it (comments, other keys) is kept too.
    const bool first = !ReadPath_.empty() && !FileExists(Path_);
    TIniFile ini(first ? ReadPath_ : Path_);
    try {
        ini.Load();
    } catch (const std::exception&) {
        // Unreadable: rewritten with what the program knows.
    }
    ini.SetPath(Path_);
    for (int k = 0; k <= nUrls_ && k < static_cast<int>(Entries_.size()); ++k) {
        ini.WriteString(keys::SectionUrls, std::to_string(k), Entries_[static_cast<std::size_t>(k)].Caption);
    }
    for (std::size_t i = 0; i < RecentCount; ++i) {
        const TRecentCompet& r = RecentCompets_[i];
        if (r.IdCompet < 0 || r.url.empty()) continue;
        const std::string section = std::string(keys::SectionRecent) + std::to_string(i + 1);
        ini.WriteString(section, keys::KeyUrl, r.url);
        ini.WriteString(section, keys::KeyNomCompet, r.NomCompet);
        ini.WriteInteger(section, keys::KeyIdCompet, r.IdCompet);
    }
    for (const auto& [key, value] : Layout_) ini.WriteString(keys::SectionLayout, key, value);
    ini.Save();
    return true;
}

std::string TSettings::LayoutValue(const std::string& key) const {
    const auto at = Layout_.find(key);
    return at == Layout_.end() ? std::string() : at->second;
}

void TSettings::SetLayoutValue(const std::string& key, std::string value) {
    Layout_[key] = std::move(value);
}

void TSettings::AddRecentCompet(const std::string& url, const std::string& nom, std::int32_t id) {
    if (id < 0 || url.empty()) return;
    const std::string name = nom.empty() ? keys::NoName : nom;
    std::size_t p = RecentCount - 1;
    for (std::size_t i = 0; i < RecentCount; ++i) {
        if (RecentCompets_[i].IdCompet == id && RecentCompets_[i].url == url) {
            p = i;
            break;
        }
    }
    for (std::size_t i = p; i >= 1; --i) RecentCompets_[i] = RecentCompets_[i - 1];
    RecentCompets_[0] = TRecentCompet{url, name, id};
    RefreshRecentEntries();
    Changed();
}

void TSettings::RefreshRecentEntries() {
    for (std::size_t i = 0; i < RecentCount; ++i) {
        const TRecentCompet& r = RecentCompets_[i];
        if (r.IdCompet < 0) break;
        const auto entry = static_cast<std::size_t>(nUrls_ + 1) + i;
        if (entry < Entries_.size()) {
            Entries_[entry].Caption = r.NomCompet;
        } else {
            Entries_.push_back({r.NomCompet, TAddressEntry::TImage::Recent});
        }
    }
}

const TRecentCompet* TSettings::RecentOfEntry(int entry) const {
    const int slot = entry - nUrls_ - 1;
    if (entry < 0 || slot < 0 || slot >= static_cast<int>(RecentCount)) return nullptr;
    const TRecentCompet& recent = RecentCompets_[static_cast<std::size_t>(slot)];
    // An entry after the addresses that no recent competition took (fewer
    // addresses in the file than built in) still shows, and is, an address.
    return recent.IdCompet < 0 ? nullptr : &recent;
}

void TSettings::Changed() const {
    if (OnEntriesChanged) OnEntriesChanged();
}

}  // namespace tavlor
