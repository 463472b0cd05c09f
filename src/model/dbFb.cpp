#include "model/dbFb.h"

#include "model/MessageBoxes.h"
#include "model/dbFbMessages.h"

namespace tavlor {

bool TdmFb::OpenDb() {
    Boxes_.Information(dbfbmsg::NotImplemented);
    return false;
}

void TdmFb::ListCompetDb(TTextGrid&) {
    Boxes_.Information(dbfbmsg::NotImplemented);
}

void TdmFb::LoadCompetDb(std::int32_t, const std::string&) {
    Boxes_.Information(dbfbmsg::NotImplemented);
}

}  // namespace tavlor
