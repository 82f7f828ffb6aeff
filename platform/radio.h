// The handset's radio interface layer: registration for notifications.
#pragma once

#include "platform/types.h"

namespace plat {

struct RilObject;
using HRIL = RilObject*;

using RILRESULTCALLBACK = void (*)(uint32_t dwCode, HRESULT hrCmdID,
                                   const void* lpData, uint32_t cbData,
                                   uint32_t dwParam);
using RILNOTIFYCALLBACK = void (*)(uint32_t dwCode, const void* lpData,
                                   uint32_t cbData, uint32_t dwParam);

constexpr uint32_t RIL_NCLASS_ALL = 0xFFFFFFFFu;
constexpr uint32_t RIL_NCLASS_SUPSERVICE = 0x00080000u;
constexpr uint32_t RIL_NOTIFY_CALLERID = RIL_NCLASS_SUPSERVICE | 0x00000001u;

// Payload sizes by which notifications are told apart.
constexpr uint32_t RILREMOTEPARTYINFO_SIZE = 1576;
constexpr uint32_t RILRINGINFO_SIZE = 32;
constexpr uint32_t RILCONNECTINFO_SIZE = 16;
// Byte offset of the caller's NUL-terminated UTF-16 number in the
// caller-identification record.
constexpr uint32_t RILREMOTEPARTYINFO_ADDRESS_OFFSET = 24;

// Registers both callbacks for the given notification classes and fills
// *lphRil. From then on notifyCallback runs on a thread of the radio layer,
// one notification at a time, in the order they arrive.
HRESULT RIL_Initialize(uint32_t dwIndex, RILRESULTCALLBACK resultCallback,
                       RILNOTIFYCALLBACK notifyCallback,
                       uint32_t dwNotificationClasses, uint32_t dwParam,
                       HRIL* lphRil);

}  // namespace plat
