// A second process for the stand-in tests.
//
//   standin_probe register            RIL_Initialize; exit 0 when it succeeded
//   standin_probe append N DEST [SYNC]
//                                     N messages to DEST through the SMS
//                                     stand-in, texts "DEST 0" .. "DEST N-1";
//                                     exit 0 when every step succeeded. With
//                                     SYNC, it releases semaphore SYNC.ready
//                                     once open and waits for event SYNC.go
//                                     before the first message, so that two
//                                     probes append at the same time.
#include <cstdio>
#include <string>

#include "platform/win32/win32.h"

namespace {

void ignoreNotify(uint32_t, const void*, uint32_t, uint32_t) {}

int tryRegister() {
  plat::HRIL ril = nullptr;
  const plat::HRESULT hr = plat::RIL_Initialize(1, nullptr, ignoreNotify,
                                                plat::RIL_NCLASS_ALL, 0, &ril);
  std::printf("standin_probe: RIL_Initialize 0x%08X\n",
              static_cast<unsigned>(hr));
  return hr == S_OK && ril != nullptr ? 0 : 1;
}

// Tells the test that this probe is ready and waits for its go.
bool rendezvous(const std::wstring& sync) {
  HANDLE ready = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE,
                                (sync + L".ready").c_str());
  HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, (sync + L".go").c_str());
  const bool ok = ready != nullptr && go != nullptr &&
                  ReleaseSemaphore(ready, 1, nullptr) &&
                  WaitForSingleObject(go, 10000) == WAIT_OBJECT_0;
  if (ready != nullptr) ::CloseHandle(ready);
  if (go != nullptr) ::CloseHandle(go);
  return ok;
}

int append(int count, const std::wstring& destination,
           const std::wstring& sync) {
  plat::SMS_HANDLE sms = nullptr;
  plat::HANDLE event = nullptr;
  if (plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                    &event) != S_OK)
    return 1;
  plat::CloseHandle(event);
  if (!sync.empty() && !rendezvous(sync)) return 1;
  plat::SMS_ADDRESS address{};
  destination.copy(reinterpret_cast<wchar_t*>(address.ptsAddress),
                   plat::SMS_MAX_ADDRESS_LENGTH - 1);
  const plat::TEXT_PROVIDER_SPECIFIC_DATA provider{0, 3, 0};
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const std::wstring text = destination + L" " + std::to_wstring(i);
    if (plat::SmsSendMessage(
            sms, nullptr, &address, nullptr,
            reinterpret_cast<const uint8_t*>(text.data()),
            static_cast<uint32_t>(text.size() * 2),
            reinterpret_cast<const uint8_t*>(&provider), sizeof provider, 0, 0,
            nullptr) != S_OK)
      ++failures;
  }
  if (plat::SmsClose(sms) != S_OK) ++failures;
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"register" && argc == 2) return tryRegister();
  if (mode == L"append" && (argc == 4 || argc == 5))
    return append(_wtoi(argv[2]), argv[3], argc == 5 ? argv[4] : L"");
  std::fprintf(stderr,
               "usage: standin_probe register | append N DEST [SYNC]\n");
  return 2;
}
