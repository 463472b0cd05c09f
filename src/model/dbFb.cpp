#include "model/dbFb.h"

#include "model/MessageBoxes.h"
#include "model/dbFbMessages.h"

namespace tavlor {

bool TdmFb::OpenDb() {
    Boxes_.Information(msg::dbfb::NotImplemented);
    return false;
}

void TdmFb::ListCompetDb(TTextGrid&) {
    Boxes_.Information(msg::dbfb::NotImplemented);
}

void TdmFb::LoadCompetDb(std::int32_t, const std::string&) {
    Boxes_.Information(msg::dbfb::NotImplemented);
}

}  // namespace tavlor
