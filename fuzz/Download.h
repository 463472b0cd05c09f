#pragma once

#include "server/www.h"
#include "text/Error.h"

#include <string>
#include <vector>

namespace tavlor::fuzz {

// The records of one list into the store through the download's own record
// steps (the exchange itself left out): a record the download refuses stops
// its list, as it does there.
template <class TAdd>
void AddRecords(std::vector<std::vector<std::string>> records, TAdd add) {
    try {
        for (auto& fields : records) {
            add(fields);
        }
    } catch (const Error&) {
    }
}

}  // namespace tavlor::fuzz
