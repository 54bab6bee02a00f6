// Runs under an English user locale (see the CMake environment).
#include "support/ProgInfo.h"

#include "platform/forms/Registry.h"
#include "tests/common/MessageBoxWatcher.h"

#include <gtest/gtest.h>

namespace {

class ProgInfoWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgInfoInitialization();
        ProductName = "OvelProgInfoTest";
    }
    void TearDown() override
    {
        ProgRegistry->SetRootKey(HKEY_CURRENT_USER);
        ProgRegistry->DeleteKey(std::string(kProductKeyBase) + ProductName);
        ProgInfoFinalization();
    }
};

TEST_F(ProgInfoWin, EnglishUserGetsTheEnglishBoxCaptionedEnProgName)
{
    EXPECT_EQ(UserLCID, 1033u);
    EXPECT_FALSE(RussianUI);
    ProgName = "Овел";
    EnProgName = "Ovel";

    MessageBoxWatcher watcher;
    const int button = ShowWarningBilingual("Can't handle Startup System!", "Нет доступа к системе автозапуска!");
    const SeenMessageBox box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, L"Ovel");
    EXPECT_EQ(box.text, L"Can't handle Startup System!");
    EXPECT_EQ(button, IDOK);
}

TEST_F(ProgInfoWin, ProductKeyIsCreatedUnderTheCurrentUser)
{
    ASSERT_TRUE(OpenProductKey());
    EXPECT_TRUE(ProgRegistry->WriteInteger("Probe", 5));
    ProgRegistry->CloseKey();

    TRegistry check;
    ASSERT_TRUE(check.OpenKeyReadOnly("Software\\Tamlin\\OvelProgInfoTest"));
    EXPECT_EQ(check.ReadInteger("Probe"), 5);
}

TEST_F(ProgInfoWin, ProductKeyThatCannotBeOpenedAnswersFalse)
{
    ProductName = std::string(300, 'x');  // longer than a key name may be
    EXPECT_FALSE(OpenProductKey());
}

}  // namespace
