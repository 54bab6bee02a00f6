// Runs under a Russian user locale (see the CMake environment).
#include "support/ProgInfo.h"

#include "platform/forms/Registry.h"
#include "tests/common/MessageBoxWatcher.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgInfoRussian, BilingualBoxShowsTheRussianTextAndCaption)
{
    ProgInfoInitialization();
    ASSERT_EQ(UserLCID, 1049u);
    ASSERT_TRUE(RussianUI);
    ProgName = "Овел";
    EnProgName = "Ovel";

    MessageBoxWatcher watcher;
    ShowErrorBilingual("Can't work with no russian.lng file!", "Работа без файла russian.lng невозможна! ёЁ");
    const SeenMessageBox box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, L"Овел");
    EXPECT_EQ(box.text, L"Работа без файла russian.lng невозможна! ёЁ");
    ProgInfoFinalization();
}

}  // namespace
