#include "support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace tavlor::test {

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavlor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    Path_ = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Path_, ignored);
}

}  // namespace tavlor::test
