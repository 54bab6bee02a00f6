#pragma once
// The registry object: one open key at a time under a chosen root and view.
// Reads of a value that is missing, of another type or of the wrong size give
// an empty optional; nothing here throws.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A value as the key holds it: its registry type and its bytes.
struct TRegistryValue {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};

class TRegistry {
public:
    // access is the full access mask of opened or created keys, view flags
    // (KEY_WOW64_64KEY, KEY_WOW64_32KEY) included.
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);  // closes the open key
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }

    // Paths are relative to the root; an open key is closed first.
    bool OpenKey(const std::string& path, bool canCreate);
    bool OpenKeyReadOnly(const std::string& path);
    bool KeyExists(const std::string& path) const;
    bool DeleteKey(const std::string& path);  // with every subkey
    void CloseKey();
    HKEY CurrentKey() const { return currentKey_; }

    bool ValueExists(const std::string& name) const;
    std::optional<std::int32_t> ReadInteger(const std::string& name) const;
    std::optional<std::string> ReadString(const std::string& name) const;
    std::optional<double> ReadDateTime(const std::string& name) const;
    std::optional<bool> ReadBool(const std::string& name) const;
    std::optional<TRegistryValue> ReadValue(const std::string& name) const;  // of any type
    std::vector<std::string> ValueNames() const;

    bool WriteInteger(const std::string& name, std::int32_t value);
    bool WriteString(const std::string& name, const std::string& value);
    bool WriteDateTime(const std::string& name, double value);
    bool WriteBool(const std::string& name, bool value);
    bool WriteBinary(const std::string& name, const std::vector<BYTE>& data);
    bool DeleteValue(const std::string& name);

private:
    REGSAM ViewFlags() const { return access_ & (KEY_WOW64_64KEY | KEY_WOW64_32KEY); }
    bool Open(const std::string& path, REGSAM access, bool canCreate);
    bool Write(const std::string& name, DWORD type, const void* data, DWORD size);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    REGSAM access_;
    HKEY currentKey_ = nullptr;
};
