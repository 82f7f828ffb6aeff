// Keeps the reply configuration in the registry, ten values under one key.
#pragma once

// Copies every stored value that fits into replySettings; a missing value
// leaves its field as it is. Reports nothing.
void loadSettings();

// Writes all ten fields, creating the key when needed. Reports nothing.
void saveSettings();
