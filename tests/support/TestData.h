#pragma once

#include <string>

namespace tavlor::test {

// Folder of the golden and sample files of the tests.
inline std::string DataPath(const std::string& name) {
    return std::string(TAVLOR_TEST_DATA_DIR) + "/" + name;
}

}  // namespace tavlor::test
