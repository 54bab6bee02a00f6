#pragma once
// Stand-ins for the Windows side of ProgInfo: boxes are recorded, not shown.

#include <string>
#include <vector>

struct RecordedBox {
    std::string englishText;
    std::string russianText;
    bool warning;
};

std::vector<RecordedBox>& RecordedBilingualBoxes();
