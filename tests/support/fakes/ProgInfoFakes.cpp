#include "tests/support/fakes/ProgInfoFakes.h"

#include "support/ProgInfo.h"

std::vector<RecordedBox>& RecordedBilingualBoxes()
{
    static std::vector<RecordedBox> boxes;
    return boxes;
}

void ShowErrorBilingual(const std::string& englishText, const std::string& russianText)
{
    RecordedBilingualBoxes().push_back({englishText, russianText, false});
}

int ShowWarningBilingual(const std::string& englishText, const std::string& russianText)
{
    RecordedBilingualBoxes().push_back({englishText, russianText, true});
    return 1;
}
