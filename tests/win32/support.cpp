#include "tests/win32/support.h"

#include "tools/utf8.h"

namespace support {
namespace {

constexpr wchar_t kSmsKey[] = L"Software\\Vantorel Stand-ins\\SMS";

// Quotes one argument the way CommandLineToArgvW and the C runtime read it.
void appendQuoted(std::wstring* line, const std::wstring& arg) {
  *line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line->append(backslashes, L'\\');
    backslashes = 0;
    *line += c;
  }
  line->append(backslashes * 2, L'\\');
  *line += L'"';
}

bool unescape(const std::string& field, std::string* out) {
  out->clear();
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      *out += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case 't': *out += '\t'; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

std::wstring exeDirectory() {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

std::wstring freshTempPath(const wchar_t* tag) {
  static LONG counter = 0;
  wchar_t folder[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + L"vantorel-" + tag + L"-" +
         std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter)) + L".txt";
}

void setSmsKnob(const wchar_t* name, const std::wstring& value) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSmsKey, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, name, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void deleteSmsKnob(const wchar_t* name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kSmsKey, name);
}

bool runHelper(const wchar_t* program, const std::vector<std::wstring>& args,
               DWORD* exitCode, DWORD timeoutMs) {
  const std::wstring path = exeDirectory() + program;
  std::wstring line;
  appendQuoted(&line, path);
  for (const std::wstring& arg : args) {
    line += L' ';
    appendQuoted(&line, arg);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  bool ended = WaitForSingleObject(process.hProcess, timeoutMs) ==
               WAIT_OBJECT_0;
  if (!ended) {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, exitCode);
  ::CloseHandle(process.hProcess);
  return ended;
}

bool readFile(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE |
                                FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) &&
         got > 0)
    bytes->append(buffer, got);
  ::CloseHandle(file);
  return ok;
}

bool parseOutbox(const std::string& bytes, std::vector<OutboxRecord>* records,
                 std::string* error) {
  records->clear();
  if (!bytes.empty() && bytes.back() != '\n') {
    *error = "the outbox does not end with a line feed";
    return false;
  }
  size_t at = 0;
  for (int lineNo = 1; at < bytes.size(); ++lineNo) {
    const size_t end = bytes.find('\n', at);
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    std::vector<std::string> fields;
    size_t from = 0;
    for (;;) {
      const size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (fields.size() != 4) {
      *error = where + std::to_string(fields.size()) + " fields";
      return false;
    }
    OutboxRecord record;
    record.stamp = fields[0];
    record.size = fields[2];
    if (!unescape(fields[1], &record.destination) ||
        !unescape(fields[3], &record.text)) {
      *error = where + "a bad escape";
      return false;
    }
    if (line.find('\r') != std::string::npos) {
      *error = where + "a raw carriage return";
      return false;
    }
    records->push_back(record);
  }
  return true;
}

bool isTimestamp(const std::string& t) {
  // 0123456789012345678901 2
  // YYYY-MM-DD HH:MM:SS.mmm
  if (t.size() != 23) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char expected = i == 4 || i == 7   ? '-'
                          : i == 10          ? ' '
                          : i == 13 || i == 16 ? ':'
                          : i == 19          ? '.'
                                             : '0';
    if (expected == '0' ? (t[i] < '0' || t[i] > '9') : t[i] != expected)
      return false;
  }
  const auto num = [&](size_t at, size_t n) {
    return std::stoi(t.substr(at, n));
  };
  return num(5, 2) >= 1 && num(5, 2) <= 12 && num(8, 2) >= 1 &&
         num(8, 2) <= 31 && num(11, 2) <= 23 && num(14, 2) <= 59 &&
         num(17, 2) <= 60;
}

bool playCallScript(const std::string& script, DWORD* exitCode) {
  const std::wstring path = freshTempPath(L"script");
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete =
      WriteFile(file, script.data(), static_cast<DWORD>(script.size()),
                &written, nullptr) != 0 &&
      written == script.size();
  ::CloseHandle(file);
  const bool ran = complete && runHelper(L"" PHONE_EMULATOR, {L"play", path},
                                         exitCode);
  DeleteFileW(path.c_str());
  return ran;
}

std::string toUtf8(const std::wstring& text) {
  return utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

}  // namespace support
