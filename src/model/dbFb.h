#pragma once

#include <cstdint>
#include <string>

namespace tavlor {

class IMessageBoxes;
class TTextGrid;

// The local competition database. This version holds no table: each operation
// only tells the user that it is not available, and no local base is ever open.
class TdmFb {
public:
    explicit TdmFb(IMessageBoxes& boxes) : Boxes_(boxes) {}

    // False: no base was opened.
    bool OpenDb();
    void ListCompetDb(TTextGrid& grid);
    void LoadCompetDb(std::int32_t competition, const std::string& title);
    bool IsOpen() const { return false; }

private:
    IMessageBoxes& Boxes_;
};

}  // namespace tavlor
