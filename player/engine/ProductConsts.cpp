#include "player/engine/ProductConsts.h"

#include "support/ProgInfo.h"

#include <string>

void SetProductGlobals()
{
    ProductName = kProductName;
    ProgName = kRussianProgName;
    EnProgName = kEnglishProgName;
    ProgDescr = kRussianProgDescr;
    EnProgDescr = kEnglishProgDescr;
    BuildNumber = kBuildNumber;
    VersionText = kVersionText;
}

void AppendRevisionSum(unsigned revisionSum) { VersionText += "." + std::to_string(revisionSum); }
