#include "server/Version.h"

namespace tavlor {

std::string GetVersion() {
    return TAVLOR_VERSION_TEXT;
}

}  // namespace tavlor
