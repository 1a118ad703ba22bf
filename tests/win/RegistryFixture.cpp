#include "tests/win/RegistryFixture.h"

#include "base/Policies.h"
#include "core/Autostart.h"
#include "tests/win/Fixtures.h"
#include "win/Registry.h"

namespace vp {

void DeleteProgramKeys() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quenhollow");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Quenhollow");
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        ::RegDeleteTreeA(root, "SOFTWARE\\Policies\\Quenhollow");
        ::RegDeleteKeyA(root, "SOFTWARE\\Policies\\Quenhollow");
    }
}

namespace {

bool RunReg(const std::string& verb, const std::string& key, const std::string& arguments) {
    const std::size_t hive = key.find('\\');
    std::string command = "reg.exe " + verb + " \"" + key.substr(0, hive) + "\\" + kPolicyKey +
                          (hive != std::string::npos ? key.substr(hive) : "") + "\" " + arguments +
                          " /f /reg:64";
    win::KernelHandle process = StartHelperProgram(command);
    DWORD code = 1;
    return process && ::WaitForSingleObject(process.Get(), 15000) == WAIT_OBJECT_0 &&
           ::GetExitCodeProcess(process.Get(), &code) && code == 0;
}

}  // namespace

bool AddPolicy(const std::string& key, const std::string& name, const std::string& type,
               const std::string& data) {
    return RunReg("add", key, "/v \"" + name + "\" /t " + type + " /d \"" + data + "\"");
}

bool DeletePolicy(const std::string& key, const std::string& name) {
    return RunReg("delete", key, "/v \"" + name + "\"");
}

void WriteTestValue(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key);
    ASSERT_EQ(::RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void WriteTestDword(const char* path, const char* name, std::uint32_t value) {
    WriteTestValue(path, name, REG_DWORD, &value, sizeof value);
}

void WriteTestWideString(const char* path, const char* name, std::u16string_view value) {
    win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key);
    ASSERT_EQ(win::WriteWideString(key.Get(), name, value), ERROR_SUCCESS);
}

std::optional<std::uint32_t> ReadTestDword(const char* path, const char* name) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, path, KEY_READ);
    return key ? win::ReadDword(key.Get(), name) : std::nullopt;
}

std::optional<std::string> ReadTestString(HKEY root, const char* path, const char* name) {
    win::RegKey key = win::OpenKey(root, path, KEY_READ);
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    if (!key || ::RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                   &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(data);
}

namespace {

bool IsEmptyKey(HKEY key) {
    DWORD subkeys = 0;
    DWORD values = 0;
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                              nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

}  // namespace

RunKeyGuard::RunKeyGuard() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_READ);
    existed_ = static_cast<bool>(key);
    value_ = existed_ ? win::ReadWideString(key.Get(), kAutostartValue) : std::nullopt;
}

RunKeyGuard::~RunKeyGuard() {
    if (value_) {
        win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, kRunKey);
        win::WriteWideString(key.Get(), kAutostartValue, *value_);
        return;
    }
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_ALL_ACCESS);
    if (!key) {
        return;
    }
    ::RegDeleteValueA(key.Get(), kAutostartValue);
    if (!existed_ && IsEmptyKey(key.Get())) {
        key.Reset();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kRunKey);  // the test made it, and it is empty
    }
}

bool RunKeyGuard::RemoveKeyIfOnlyOurs() {
    {
        win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_ALL_ACCESS);
        if (!key) {
            return true;
        }
        ::RegDeleteValueA(key.Get(), kAutostartValue);
        if (!IsEmptyKey(key.Get())) {
            return false;
        }
    }
    return ::RegDeleteKeyA(HKEY_CURRENT_USER, kRunKey) == ERROR_SUCCESS;
}

}  // namespace vp
