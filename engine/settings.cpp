#include "engine/settings.h"

ReplySettings replySettings;

void resetReplySettings() { replySettings = ReplySettings{}; }
