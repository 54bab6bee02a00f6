// The start of a program under the user locale the environment gives (see
// the CMake entries): the module of that locale is chosen without any stored
// choice, and its boxes speak its language.
#include "support/LangUnit.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"
#include "tests/support/ShippedModules.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(LocaleStartWin, ChoosesTheModuleOfTheUserLocale)
{
    const char* expected = std::getenv("OVEL_EXPECTED_MODULE");
    ASSERT_NE(expected, nullptr) << "run through ctest, which names the module";
    if (!IsShipped(expected))
        GTEST_SKIP() << expected << " is not written yet";  // the native folder test names it
    ProgInfoInitialization();
    ProductName = "OvelLocaleStartTest";
    ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
    ASSERT_TRUE(LoadLanguages());
    EXPECT_EQ(LangFiles[CurrentLangIndex], expected) << "user locale " << UserLCID;
    EXPECT_EQ(MatchedLangIndex, CurrentLangIndex);
    ProgInfoFinalization();
}

}  // namespace
