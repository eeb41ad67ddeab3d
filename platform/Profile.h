#pragma once

#include <string>

// Per-user settings under the company key, one group per section; a missing value gives the default.
namespace Profile {
void SetRegistryKey(const std::string& company, const std::string& application);
int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
std::string GetProfileString(
    const std::string& section, const std::string& entry, const std::string& defaultValue);
void WriteProfileInt(const std::string& section, const std::string& entry, int value);
void WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);
// Whether a value exists (for tests and diagnostics).
bool HasEntry(const std::string& section, const std::string& entry);
// Writes everything out now (the store is otherwise written lazily). False when it could not be
// written: `file` then names the store's file and `reason` says why.
bool Flush(std::string* file = nullptr, std::string* reason = nullptr);
}
