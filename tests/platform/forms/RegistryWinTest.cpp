#include "platform/forms/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr const char* kTestKey = "Software\\OvelTests\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(reg.OpenKey(kTestKey, true)); }
    void TearDown() override
    {
        reg.CloseKey();
        reg.DeleteKey("Software\\OvelTests");
    }

    // Writes a raw value the typed writers would never produce.
    void WriteRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(reg.CurrentKey(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    TRegistry reg;
};

TEST_F(RegistryTest, TypedValuesRoundTrip)
{
    EXPECT_TRUE(reg.WriteInteger("Int", -123456));
    EXPECT_TRUE(reg.WriteString("Str", "forest night"));
    EXPECT_TRUE(reg.WriteDateTime("When", 46000.75));
    EXPECT_TRUE(reg.WriteBool("Flag", true));
    reg.CloseKey();

    ASSERT_TRUE(reg.OpenKeyReadOnly(kTestKey));
    EXPECT_EQ(reg.ReadInteger("Int"), -123456);
    EXPECT_EQ(reg.ReadString("Str"), "forest night");
    EXPECT_EQ(reg.ReadDateTime("When"), 46000.75);
    EXPECT_EQ(reg.ReadBool("Flag"), true);
    EXPECT_TRUE(reg.ValueExists("Str"));
    EXPECT_FALSE(reg.ValueExists("Missing"));
    EXPECT_FALSE(reg.WriteInteger("Int", 1)) << "a read-only key takes no writes";
}

TEST_F(RegistryTest, ValueOfWrongTypeOrSizeReadsAsAbsent)
{
    const DWORD number = 7;
    const char text[] = "7";
    const BYTE shortDate[4] = {1, 2, 3, 4};
    const BYTE qword[8] = {};
    WriteRaw("IntAsString", REG_SZ, text, sizeof text);
    WriteRaw("StringAsInt", REG_DWORD, &number, sizeof number);
    WriteRaw("ShortDate", REG_BINARY, shortDate, sizeof shortDate);
    WriteRaw("IntAsQword", REG_QWORD, qword, sizeof qword);
    WriteRaw("ShortInt", REG_DWORD, &number, 2);

    EXPECT_EQ(reg.ReadInteger("IntAsString"), std::nullopt);
    EXPECT_EQ(reg.ReadBool("IntAsString"), std::nullopt);
    EXPECT_EQ(reg.ReadString("StringAsInt"), std::nullopt);
    EXPECT_EQ(reg.ReadDateTime("ShortDate"), std::nullopt);
    EXPECT_EQ(reg.ReadDateTime("StringAsInt"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("IntAsQword"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("ShortInt"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("Missing"), std::nullopt);
}

TEST_F(RegistryTest, ValuesOfEveryTypeReadRawAndNamedInTheKey)
{
    const BYTE qword[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    WriteRaw("Wide", REG_QWORD, qword, sizeof qword);
    EXPECT_TRUE(reg.WriteBinary("Bytes", {9, 8, 7}));
    EXPECT_TRUE(reg.WriteBinary("Empty", {}));
    EXPECT_TRUE(reg.WriteString("Text", "ab"));

    const std::optional<TRegistryValue> wide = reg.ReadValue("Wide");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Type, static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(wide->Data, std::vector<BYTE>(std::begin(qword), std::end(qword)));
    const std::optional<TRegistryValue> bytes = reg.ReadValue("Bytes");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->Type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(bytes->Data, (std::vector<BYTE>{9, 8, 7}));
    EXPECT_EQ(reg.ReadValue("Empty")->Data.size(), 0u);
    EXPECT_EQ(reg.ReadValue("Text")->Data, (std::vector<BYTE>{'a', 'b', 0}));
    EXPECT_FALSE(reg.ReadValue("Missing"));

    std::vector<std::string> names = reg.ValueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Bytes", "Empty", "Text", "Wide"}));
    reg.CloseKey();
    EXPECT_TRUE(reg.ValueNames().empty());
}

TEST_F(RegistryTest, StringWithoutTerminatorReads)
{
    const char bare[] = {'a', 'b'};
    WriteRaw("Bare", REG_SZ, bare, sizeof bare);
    EXPECT_EQ(reg.ReadString("Bare"), "ab");
}

TEST_F(RegistryTest, DeleteValueAndKeyTree)
{
    reg.WriteInteger("Gone", 1);
    EXPECT_TRUE(reg.DeleteValue("Gone"));
    EXPECT_FALSE(reg.ValueExists("Gone"));
    EXPECT_FALSE(reg.DeleteValue("Gone"));

    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey(std::string(kTestKey) + "\\Child\\Grandchild", true));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(kTestKey));
    EXPECT_FALSE(reg.KeyExists(kTestKey));
    EXPECT_TRUE(reg.KeyExists("Software\\OvelTests"));
}

TEST_F(RegistryTest, NoOpenKeyMeansNothingToReadOrWrite)
{
    reg.CloseKey();
    EXPECT_FALSE(reg.OpenKey("Software\\OvelTests\\Absent", false));
    EXPECT_FALSE(reg.ValueExists("x"));
    EXPECT_EQ(reg.ReadString("x"), std::nullopt);
    EXPECT_FALSE(reg.WriteString("x", "y"));
    EXPECT_FALSE(reg.KeyExists("Software\\OvelTests\\Absent"));
}

TEST_F(RegistryTest, ChosenRootAndView)
{
    TRegistry machine(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly("Software\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_TRUE(machine.ReadString("ProgramFilesDir").has_value());
}

}  // namespace
