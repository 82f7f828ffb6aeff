// Sends the reply text to the caller in CallState through the SMS service.
// Called with the call lock held. Every failure is silent.
#pragma once

void sendReply();
