#include "platform/forms/Registry.h"

#include <cstring>
#include <vector>

namespace {

bool DeleteKeyTree(HKEY parent, const std::string& path, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WRITE | view, &key) != ERROR_SUCCESS)
        return false;
    // Subkeys first; always enumerate index 0 as the list shrinks.
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!DeleteKeyTree(key, name, view))
            break;
    }
    RegCloseKey(key);

    if (view != 0) {
        // The view-aware delete exists from XP x64 on; look it up so older systems still start.
        using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
        auto deleteEx = reinterpret_cast<DeleteKeyEx>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
        if (deleteEx)
            return deleteEx(parent, path.c_str(), view, 0) == ERROR_SUCCESS;
    }
    return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    rootKey_ = root;
}

bool TRegistry::Open(const std::string& path, REGSAM access, bool canCreate)
{
    CloseKey();
    HKEY key = nullptr;
    LONG result = canCreate ? RegCreateKeyExA(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                              nullptr, &key, nullptr)
                            : RegOpenKeyExA(rootKey_, path.c_str(), 0, access, &key);
    if (result != ERROR_SUCCESS)
        return false;
    currentKey_ = key;
    return true;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) { return Open(path, access_, canCreate); }

bool TRegistry::OpenKeyReadOnly(const std::string& path) { return Open(path, KEY_READ | ViewFlags(), false); }

bool TRegistry::KeyExists(const std::string& path) const
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey_, path.c_str(), 0, KEY_READ | ViewFlags(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::DeleteKey(const std::string& path) { return DeleteKeyTree(rootKey_, path, ViewFlags()); }

void TRegistry::CloseKey()
{
    if (currentKey_) {
        RegCloseKey(currentKey_);
        currentKey_ = nullptr;
    }
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return currentKey_ &&
           RegQueryValueExA(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

namespace {

std::optional<TRegistryValue> ReadAnyValue(HKEY key, const std::string& name)
{
    if (!key)
        return std::nullopt;
    TRegistryValue value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.Type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.Data.resize(size);
    if (size > 0 &&
        RegQueryValueExA(key, name.c_str(), nullptr, &value.Type, value.Data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.Data.resize(size);
    return value;
}

// Reads a value of one of the accepted types; its bytes, or nothing.
std::optional<std::vector<BYTE>> ReadRaw(HKEY key, const std::string& name, DWORD type1, DWORD type2)
{
    std::optional<TRegistryValue> value = ReadAnyValue(key, name);
    if (!value || (value->Type != type1 && value->Type != type2))
        return std::nullopt;
    return std::move(value->Data);
}

template <typename T>
std::optional<T> ReadFixed(HKEY key, const std::string& name, DWORD type)
{
    auto data = ReadRaw(key, name, type, type);
    if (!data || data->size() != sizeof(T))
        return std::nullopt;
    T value;
    memcpy(&value, data->data(), sizeof value);
    return value;
}

}  // namespace

std::optional<std::int32_t> TRegistry::ReadInteger(const std::string& name) const
{
    return ReadFixed<std::int32_t>(currentKey_, name, REG_DWORD);
}

std::optional<std::string> TRegistry::ReadString(const std::string& name) const
{
    auto data = ReadRaw(currentKey_, name, REG_SZ, REG_EXPAND_SZ);
    if (!data)
        return std::nullopt;
    std::string text(data->begin(), data->end());
    // Stored strings may or may not carry their terminating zero.
    auto end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

std::optional<double> TRegistry::ReadDateTime(const std::string& name) const
{
    return ReadFixed<double>(currentKey_, name, REG_BINARY);
}

std::optional<bool> TRegistry::ReadBool(const std::string& name) const
{
    auto value = ReadInteger(name);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<TRegistryValue> TRegistry::ReadValue(const std::string& name) const
{
    return ReadAnyValue(currentKey_, name);
}

std::vector<std::string> TRegistry::ValueNames() const
{
    std::vector<std::string> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (!currentKey_ || RegQueryInfoKeyA(currentKey_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                         &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<char> name(longest + 1);
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(currentKey_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            names.emplace_back(name.data(), length);
    }
    return names;
}

bool TRegistry::Write(const std::string& name, DWORD type, const void* data, DWORD size)
{
    return currentKey_ &&
           RegSetValueExA(currentKey_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool TRegistry::WriteInteger(const std::string& name, std::int32_t value)
{
    return Write(name, REG_DWORD, &value, sizeof value);
}

bool TRegistry::WriteString(const std::string& name, const std::string& value)
{
    return Write(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool TRegistry::WriteDateTime(const std::string& name, double value)
{
    return Write(name, REG_BINARY, &value, sizeof value);
}

bool TRegistry::WriteBool(const std::string& name, bool value) { return WriteInteger(name, value ? 1 : 0); }

bool TRegistry::WriteBinary(const std::string& name, const std::vector<BYTE>& data)
{
    return Write(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

bool TRegistry::DeleteValue(const std::string& name)
{
    return currentKey_ && RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}
