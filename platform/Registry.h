#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The few system keys the program reads besides its own settings, as views of this desktop:
//  - "Software\Microsoft\Windows NT\CurrentVersion\Fonts": one value per installed font, named by its
//    family (and style) followed by " (TrueType)"; the machine's fonts under HKEY_LOCAL_MACHINE and the
//    user's own fonts under HKEY_CURRENT_USER;
//  - under HKEY_CLASSES_ROOT, ".htm" (default value: the desktop's web browser) and
//    "<browser>\shell\open\command" (default value: its command, with "%1" where the address goes).

enum HKEY : uintptr_t {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
};
using LONG = long;
enum : LONG {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
};

inline constexpr const char* FontsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

struct RegistryValue {
    std::string name; // empty: the key's default value
    std::string data;
};

// The values of a key, or nothing when the key does not exist.
std::optional<std::vector<RegistryValue>> ReadRegistryKey(HKEY root, const std::string& subkey);
// The default value of a key: ERROR_SUCCESS, or ERROR_FILE_NOT_FOUND without the key or its value.
LONG RegQueryDefaultValue(HKEY root, const std::string& subkey, std::string& value);

// Walks the values of one key: a call with a subkey opens it and returns its first value, each call
// with a null or empty subkey the next one; names and data longer than 259 characters give
// ERROR_MORE_DATA, the end ERROR_NO_MORE_ITEMS. A call with null subkey and outputs closes the key.
LONG EnumRegValues(HKEY root, const char* subkey, std::string* name, std::string* data);

// While a RegistryScript exists, every key is read from it instead of the desktop (for tests).
class RegistryScript {
public:
    RegistryScript();
    ~RegistryScript();
    RegistryScript(const RegistryScript&) = delete;
    RegistryScript& operator=(const RegistryScript&) = delete;
    void SetKey(HKEY root, const std::string& subkey, std::vector<RegistryValue> values);
    std::optional<std::vector<RegistryValue>> Key(HKEY root, const std::string& subkey) const;

private:
    struct Entry {
        HKEY root;
        std::string subkey;
        std::vector<RegistryValue> values;
    };
    std::vector<Entry> keys;
};
