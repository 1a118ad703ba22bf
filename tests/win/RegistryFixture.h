// Tests that use the program's registry keys start from an empty program key.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp {

// Removes HKCU\SOFTWARE\Quenhollow with everything below it, and the program's policies
// in both hives.
void DeleteProgramKeys();

// Adds (or replaces) a policy value with reg.exe, as an administrator would, in the 64-bit
// view of the registry where the program reads: `key` is "HKLM" or "HKCU", followed by a
// list's subkey ("HKLM\\VisibleSites"). True when reg.exe succeeded.
bool AddPolicy(const std::string& key, const std::string& name, const std::string& type,
               const std::string& data);
bool DeletePolicy(const std::string& key, const std::string& name);

// Writes a value of any type and size under HKCU\<path>, creating the key.
void WriteTestValue(const char* path, const char* name, DWORD type, const void* data, DWORD size);
void WriteTestDword(const char* path, const char* name, std::uint32_t value);
void WriteTestWideString(const char* path, const char* name, std::u16string_view value);
// A DWORD under HKCU\<path>; nothing when it cannot be read.
std::optional<std::uint32_t> ReadTestDword(const char* path, const char* name);
// A string value (up to 2 KB) under <root>\<path>; nothing when it cannot be read.
std::optional<std::string> ReadTestString(HKEY root, const char* path, const char* name);

// The program's own value in the current user's Run key, put back as it was when the
// test ends. Nothing else of the key is touched: the other programs' values stay.
class RunKeyGuard {
public:
    RunKeyGuard();
    ~RunKeyGuard();
    RunKeyGuard(const RunKeyGuard&) = delete;
    RunKeyGuard& operator=(const RunKeyGuard&) = delete;

    // Removes the Run key when it holds nothing but the program's own value; false when
    // other programs have values or subkeys there, which a test must not touch.
    bool RemoveKeyIfOnlyOurs();

private:
    bool existed_ = false;
    std::optional<std::u16string> value_;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteProgramKeys(); }
    void TearDown() override { DeleteProgramKeys(); }
};

}  // namespace vp
