#include "engine/sender.h"

#include "engine/settings.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/handles.h"
#include "platform/sms.h"

namespace {

constexpr size_t kMinAnsweredLength = 5;

}  // namespace

void sendReply() {
  const char16_t* caller = callState.callerNumber;
  if (textLength(caller, kCallerNumberCapacity) < kMinAnsweredLength) return;
  if (textEqualsIgnoreCase(caller, u"Unknown")) return;
  if (textEqualsIgnoreCase(caller, callState.lastRepliedNumber)) return;

  // Counted as answered before the service is touched, so a failing service
  // is not tried again for this caller until the call is over.
  copyText(callState.lastRepliedNumber, caller);

  plat::SMS_HANDLE sms = nullptr;
  plat::HANDLE messageEvent = nullptr;
  if (plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                    &messageEvent) != plat::S_OK)
    return;
  plat::CloseHandle(messageEvent);

  plat::SMS_ADDRESS destination{};
  destination.smsatAddressType = plat::SMSAT_UNKNOWN;
  copyText(destination.ptsAddress, caller);

  const plat::TEXT_PROVIDER_SPECIFIC_DATA provider{
      plat::PS_MESSAGE_OPTION_NONE, plat::PS_MESSAGE_CLASS3, plat::PSRO_NONE};

  const char16_t* text = callState.useSecond ? replySettings.secondText
                                             : replySettings.mainText;
  const size_t length = textLength(text, kReplyTextCapacity - 1);
  // The service takes the units little-endian, whatever the host order.
  uint8_t data[(kReplyTextCapacity - 1) * 2];
  for (size_t i = 0; i < length; ++i) {
    data[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
    data[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
  }

  plat::SmsSendMessage(sms, nullptr, &destination, nullptr, data,
                       static_cast<uint32_t>(length * 2),
                       reinterpret_cast<const uint8_t*>(&provider),
                       sizeof provider, plat::SMSDE_OPTIMAL,
                       plat::SMS_OPTION_DELIVERY_NONE, nullptr);
  plat::SmsClose(sms);
}
