// Helpers of the Windows-only tests: helper programs, the stand-ins'
// registry knobs, temporary files, reading the outbox back.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace support {

// The folder of the running test program, with a trailing backslash; the
// helper programs are built next to it.
std::wstring exeDirectory();

// A path in the temporary folder that no earlier call gave out; the file is
// not created.
std::wstring freshTempPath(const wchar_t* tag);

// Values of HKEY_CURRENT_USER\Software\Vantorel Stand-ins\SMS.
void setSmsKnob(const wchar_t* name, const std::wstring& value);
void deleteSmsKnob(const wchar_t* name);

// Runs a helper program of exeDirectory() with the arguments (quoted here),
// waits for it and gives its exit code; false when it did not start or did
// not end within the time (it is then terminated).
bool runHelper(const wchar_t* program, const std::vector<std::wstring>& args,
               DWORD* exitCode, DWORD timeoutMs = 20000);

// Sends a call script (UTF-8 text, tools/callscript.h) into the radio
// channel with the phone emulator's `play`, as another process would; gives
// the emulator's exit code, false when it did not start or did not end.
bool playCallScript(const std::string& script, DWORD* exitCode);

// The whole file; false when it does not exist or cannot be read.
bool readFile(const std::wstring& path, std::string* bytes);

// One outbox line split into its four fields, destination and text with
// their backslash escapes undone.
struct OutboxRecord {
  std::string stamp;
  std::string destination;
  std::string size;
  std::string text;
};

// Every line of the outbox; false (with the reason) when a line does not
// have the documented shape or the file does not end with a line feed.
bool parseOutbox(const std::string& bytes, std::vector<OutboxRecord>* records,
                 std::string* error);

// "YYYY-MM-DD HH:MM:SS.mmm" with every field in its range.
bool isTimestamp(const std::string& text);

std::string toUtf8(const std::wstring& text);

}  // namespace support
