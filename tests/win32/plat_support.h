// Helpers for the tests that call the plat functions by their portable
// names. These tests must not see <windows.h>: its macros (INVALID_HANDLE_
// VALUE, HKEY_LOCAL_MACHINE, ERROR_MORE_DATA, ...) would replace plat's
// names. So the helpers reach Win32 behind this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat_support {

// A path in the temporary folder that no earlier call gave out; the file is
// not created.
std::u16string freshTempPath(const char16_t* tag);
bool fileExists(const std::u16string& path);
// The whole file; false when it cannot be read.
bool readFile(const std::u16string& path, std::string* bytes);
bool writeFile(const std::u16string& path, const std::string& bytes);

// A key path under HKEY_LOCAL_MACHINE that no earlier call gave out and
// that does not exist yet.
std::u16string freshMachineKey();
// The real registry under HKEY_LOCAL_MACHINE, read without plat.
bool machineKeyExists(const std::u16string& path);
bool machineValue(const std::u16string& path, const char16_t* name,
                  uint32_t* type, std::vector<uint8_t>* bytes);
void deleteMachineTree(const std::u16string& path);

uint32_t ansiCodePage();

}  // namespace plat_support
