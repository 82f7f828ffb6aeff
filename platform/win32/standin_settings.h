// What the contact store stand-in reads of its surroundings: its registry
// knobs (REG_SZ values of a key under HKEY_CURRENT_USER, such as
// "Software\Vantorel Stand-ins\Contacts") and the folder of the running
// program. Windows-only, but free of <windows.h> so that it can sit beside
// the portable headers.
#pragma once

#include <string>

namespace standin_settings {

// A REG_SZ value of `key` under HKEY_CURRENT_USER; false when it is absent
// or of another type.
bool read(const wchar_t* key, const wchar_t* name, std::wstring* value);

// `fileName` in the folder of the running program.
std::wstring besideProgram(const wchar_t* fileName);

}  // namespace standin_settings
