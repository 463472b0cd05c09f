#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavlor {

class IUserBoxes;

// A recently opened competition.
struct TRecentCompet {
    std::string url;
    std::string NomCompet;
    std::int32_t IdCompet = -1;  // -1: empty slot
    bool operator==(const TRecentCompet&) const = default;
};

// One entry of the address box: a server address, or a recent competition.
struct TAddressEntry {
    enum class TImage : std::uint8_t { Internet, Recent };
    std::string Caption;
    TImage Image = TImage::Internet;
};

// The settings file and what it holds: the address box's entries (the server
// addresses 0..nUrls, then the recent competitions) and the five most
// recently opened competitions, most recent first.
class TSettings {
public:
    static constexpr std::size_t RecentCount = 5;

    // path: the settings file written. builtIn: the server addresses the
    // program was built with. readPath: a settings file read as well, when
    // the one written is not where the settings were left (the program's
    // folder that cannot be written): its values are read first, the written
    // file's own values over them, and the first save starts from its content.
    TSettings(std::string path, std::vector<std::string> builtIn, std::string readPath = {});

    // Reads the file; a file that cannot be read is reported and the built-in
    // entries are kept. A file the user made read-only (its permission bits)
    // is read, and the user is told that nothing will be kept. Never throws.
    void Load(IUserBoxes& boxes);
    // Writes the addresses, the filled recent slots and the windows' layout
    // into the file, keeping everything else it holds (re-read first: another
    // program sharing the file keeps its own changes). A read-only file is
    // left as it is: answers false, and the user is told unless he already
    // was. Throws tavlor::Error naming the file when the write fails.
    bool Save(IUserBoxes& boxes);
    const std::string& Path() const { return Path_; }
    const std::string& ReadPath() const { return ReadPath_; }

    // Puts a competition at the head of the recent list (once) and shows it
    // in the address box; nothing for a number below 0 or an empty address.
    void AddRecentCompet(const std::string& url, const std::string& nom, std::int32_t id);
    const std::array<TRecentCompet, RecentCount>& RecentCompets() const { return RecentCompets_; }
    // Index of the last entry that is a server address.
    int nUrls() const { return nUrls_; }
    const std::vector<TAddressEntry>& Entries() const { return Entries_; }
    // The recent slot an entry of the address box stands for: entry nUrls + i
    // for slot i (1-based); nullptr for an address, or for an entry whose slot
    // is empty (a built-in address past nUrls).
    const TRecentCompet* RecentOfEntry(int entry) const;

    // How the user left the windows (sizes, splitters, the order of the
    // players): values the windows write and read back, kept in a section of
    // their own; empty when not set.
    std::string LayoutValue(const std::string& key) const;
    void SetLayoutValue(const std::string& key, std::string value);

    // The entries changed (captions, or entries added).
    std::function<void()> OnEntriesChanged;

private:
    void RefreshRecentEntries();
    void Changed() const;

    // Tells once per session that the settings will not be kept.
    bool TellIfReadOnly(IUserBoxes& boxes);

    std::string Path_;
    std::string ReadPath_;  // empty: Path_ only
    bool ToldReadOnly_ = false;
    std::vector<TAddressEntry> Entries_;
    std::array<TRecentCompet, RecentCount> RecentCompets_;
    int nUrls_ = 3;
    std::map<std::string, std::string> Layout_;
};

}  // namespace tavlor
