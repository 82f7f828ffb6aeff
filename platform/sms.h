// The handset's SMS service, as far as sending a text message goes.
#pragma once

#include "platform/types.h"

namespace plat {

struct SmsObject;
using SMS_HANDLE = SmsObject*;
struct SYSTEMTIME;  // validity periods are never given, so it stays opaque

constexpr char16_t SMS_MSGTYPE_TEXT[] = u"Microsoft Text SMS Protocol";
constexpr uint32_t SMS_MODE_SEND = 2;
constexpr uint32_t SMSAT_UNKNOWN = 0;
constexpr uint32_t SMS_MAX_ADDRESS_LENGTH = 256;
constexpr uint32_t PS_MESSAGE_OPTION_NONE = 0;
constexpr uint32_t PS_MESSAGE_CLASS3 = 3;
constexpr uint32_t PSRO_NONE = 0;
constexpr uint32_t SMSDE_OPTIMAL = 0;
constexpr uint32_t SMS_OPTION_DELIVERY_NONE = 0;

struct SMS_ADDRESS {
  uint32_t smsatAddressType;
  char16_t ptsAddress[SMS_MAX_ADDRESS_LENGTH];
};

struct TEXT_PROVIDER_SPECIFIC_DATA {
  uint32_t dwMessageOptions;
  uint32_t psMessageClass;
  uint32_t psReplaceOption;
};
static_assert(sizeof(TEXT_PROVIDER_SPECIFIC_DATA) == 12,
              "the service expects 12 bytes of provider data");

// Returns S_OK and fills both handles when the service can be used in the
// given mode; any other result means nothing was opened.
HRESULT SmsOpen(const char16_t* ptsMessageProtocol, uint32_t dwMessageModes,
                SMS_HANDLE* psmshHandle, HANDLE* phMessageAvailableEvent);

// Returns S_OK when the service has accepted the message for sending.
HRESULT SmsSendMessage(SMS_HANDLE smshHandle,
                       const SMS_ADDRESS* psmsaSMSCAddress,
                       const SMS_ADDRESS* psmsaDestinationAddress,
                       const SYSTEMTIME* pstValidityPeriod,
                       const uint8_t* pbData, uint32_t dwDataSize,
                       const uint8_t* pbProviderSpecificData,
                       uint32_t dwProviderSpecificDataSize,
                       uint32_t smsdeDataEncoding, uint32_t dwOptions,
                       uint32_t* psmsmidMessageID);

HRESULT SmsClose(SMS_HANDLE smshHandle);

}  // namespace plat
