#pragma once

#include <filesystem>
#include <string>

namespace tavlor::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return Path_; }
    std::string File(const std::string& name) const { return Path_ + "/" + name; }

private:
    std::string Path_;
};

}  // namespace tavlor::test
