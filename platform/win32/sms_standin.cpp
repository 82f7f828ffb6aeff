// SMS service stand-in: a message accepted for sending becomes one line of
// the outbox file. Format and configuration: docs/sms-outbox.md.
#include <cstdio>
#include <string>

#include "platform/win32/standin_settings.h"
#include "platform/win32/win32.h"

struct plat::SmsObject {
  plat::SmsObject* next;  // the open handles form a list
};

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Vantorel Stand-ins\\SMS";
constexpr wchar_t kDefaultOutboxName[] = L"sms-outbox.txt";
// Far more than any text message; keeps every size within an int.
constexpr uint32_t kMaxDataSize = 1u << 20;
// Serialises appends from every process that uses the stand-in: under Wine a
// handle opened for FILE_APPEND_DATA does not append atomically, and lines
// of two processes were seen to overwrite each other.
constexpr wchar_t kOutboxMutexName[] = L"Local\\VantorelSmsOutbox";

SRWLOCK handlesLock = SRWLOCK_INIT;
plat::SmsObject* openHandles = nullptr;

bool isOpen(plat::SmsObject* handle) {
  AcquireSRWLockShared(&handlesLock);
  bool found = false;
  for (plat::SmsObject* h = openHandles; h != nullptr && !found; h = h->next)
    found = h == handle;
  ReleaseSRWLockShared(&handlesLock);
  return found;
}

bool readSetting(const wchar_t* name, std::wstring* value) {
  return standin_settings::read(kSettingsKey, name, value);
}

bool failureConfigured(const wchar_t* which) {
  std::wstring value;
  return readSetting(L"Fail", &value) &&
         CompareStringOrdinal(value.c_str(), -1, which, -1, TRUE) ==
             CSTR_EQUAL;
}

std::wstring outboxPath() {
  std::wstring path;
  if (readSetting(L"Outbox", &path) && !path.empty()) return path;
  return standin_settings::besideProgram(kDefaultOutboxName);
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(const wchar_t* text, size_t units) {
  if (units == 0) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), &out[0], n,
                        nullptr, nullptr);
  return out;
}

void appendEscaped(std::string* line, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '\\': *line += "\\\\"; break;
      case '\n': *line += "\\n"; break;
      case '\r': *line += "\\r"; break;
      case '\t': *line += "\\t"; break;
      default: *line += c; break;
    }
  }
}

std::string outboxRecord(const wchar_t* destination,
                         const std::wstring& text, uint32_t dataSize) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u",
                unsigned{now.wYear}, unsigned{now.wMonth}, unsigned{now.wDay},
                unsigned{now.wHour}, unsigned{now.wMinute},
                unsigned{now.wSecond}, unsigned{now.wMilliseconds});
  std::string line = stamp;
  line += '\t';
  appendEscaped(&line, toUtf8(destination, wcslen(destination)));
  line += '\t';
  line += std::to_string(dataSize);
  line += '\t';
  appendEscaped(&line, toUtf8(text.data(), text.size()));
  line += '\n';
  return line;
}

HRESULT appendToOutbox(const std::string& line) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kOutboxMutexName);
  if (mutex == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  HRESULT result = E_FAIL;
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    HANDLE file = CreateFileW(outboxPath().c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE |
                                  FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      result = HRESULT_FROM_WIN32(GetLastError());
    } else {
      DWORD written = 0;
      const BOOL ok = WriteFile(file, line.data(),
                                static_cast<DWORD>(line.size()), &written,
                                nullptr);
      result = ok && written == line.size()
                   ? S_OK
                   : HRESULT_FROM_WIN32(ok ? ERROR_WRITE_FAULT
                                           : GetLastError());
      ::CloseHandle(file);
    }
    ReleaseMutex(mutex);
  }
  ::CloseHandle(mutex);
  return result;
}

}  // namespace

namespace plat {

HRESULT SmsOpen(const char16_t* ptsMessageProtocol, uint32_t dwMessageModes,
                SMS_HANDLE* psmshHandle, HANDLE* phMessageAvailableEvent) {
  if (ptsMessageProtocol == nullptr || psmshHandle == nullptr ||
      phMessageAvailableEvent == nullptr)
    return E_INVALIDARG;
  if (wcscmp(win32::wide(ptsMessageProtocol), win32::wide(SMS_MSGTYPE_TEXT)) !=
          0 ||
      dwMessageModes != SMS_MODE_SEND)
    return E_INVALIDARG;
  if (failureConfigured(L"open")) return E_FAIL;

  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  auto* handle = new SmsObject{nullptr};
  AcquireSRWLockExclusive(&handlesLock);
  handle->next = openHandles;
  openHandles = handle;
  ReleaseSRWLockExclusive(&handlesLock);
  *psmshHandle = handle;
  *phMessageAvailableEvent = event;
  return S_OK;
}

HRESULT SmsSendMessage(SMS_HANDLE smshHandle,
                       const SMS_ADDRESS* /*psmsaSMSCAddress*/,
                       const SMS_ADDRESS* psmsaDestinationAddress,
                       const SYSTEMTIME* /*pstValidityPeriod*/,
                       const uint8_t* pbData, uint32_t dwDataSize,
                       const uint8_t* pbProviderSpecificData,
                       uint32_t dwProviderSpecificDataSize,
                       uint32_t /*smsdeDataEncoding*/, uint32_t /*dwOptions*/,
                       uint32_t* psmsmidMessageID) {
  if (smshHandle == nullptr || !isOpen(smshHandle)) return E_HANDLE;
  if (psmsaDestinationAddress == nullptr) return E_INVALIDARG;
  const char16_t* address = psmsaDestinationAddress->ptsAddress;
  // The address must end within its array and hold something.
  const size_t addressLength = wcsnlen(win32::wide(address),
                                       SMS_MAX_ADDRESS_LENGTH);
  if (addressLength == 0 || addressLength == SMS_MAX_ADDRESS_LENGTH)
    return E_INVALIDARG;
  // UTF-16 units: an even number of bytes, and bytes to read if any.
  if (dwDataSize % 2 != 0 || dwDataSize > kMaxDataSize ||
      (dwDataSize != 0 && pbData == nullptr))
    return E_INVALIDARG;
  if (pbProviderSpecificData == nullptr ||
      dwProviderSpecificDataSize != sizeof(TEXT_PROVIDER_SPECIFIC_DATA))
    return E_INVALIDARG;
  if (failureConfigured(L"send")) return E_FAIL;

  // Little-endian units, read byte by byte: the data has no alignment.
  std::wstring text(dwDataSize / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(pbData[2 * i] | (pbData[2 * i + 1] << 8));

  const HRESULT result = appendToOutbox(
      outboxRecord(win32::wide(address), text, dwDataSize));
  if (result == S_OK && psmsmidMessageID != nullptr) {
    static volatile LONG lastMessageId = 0;
    *psmsmidMessageID = static_cast<uint32_t>(
        InterlockedIncrement(&lastMessageId));
  }
  return result;
}

HRESULT SmsClose(SMS_HANDLE smshHandle) {
  AcquireSRWLockExclusive(&handlesLock);
  bool found = false;
  for (SmsObject** at = &openHandles; *at != nullptr; at = &(*at)->next) {
    if (*at == smshHandle) {
      *at = smshHandle->next;
      found = true;
      break;
    }
  }
  ReleaseSRWLockExclusive(&handlesLock);
  if (!found) return E_HANDLE;
  delete smshHandle;
  return S_OK;
}

}  // namespace plat
