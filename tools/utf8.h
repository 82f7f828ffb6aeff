// UTF-8 and UTF-16 for the tools and the tests, which take text from command
// lines and files: a malformed sequence or an unpaired surrogate becomes
// U+FFFD.
#pragma once

#include <string>

std::u16string utf16FromUtf8(const std::string& text);
std::string utf8FromUtf16(const std::u16string& units);
