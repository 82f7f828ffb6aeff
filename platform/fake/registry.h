// The in-memory registry: keys by path, each with typed values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct RegistryValue {
  std::u16string name;
  uint32_t type;
  std::vector<uint8_t> bytes;
};

// Paths are below HKEY_LOCAL_MACHINE, e.g. u"SOFTWARE\\Zerv\\QRL"; letter
// case is ignored as the registry does.
bool registryKeyExists(const std::u16string& path);
// The key's values in the order they were first written.
std::vector<RegistryValue> registryValues(const std::u16string& path);
// Creates the key and the levels above it when needed.
void setRegistryValue(const std::u16string& path, const std::u16string& name,
                      uint32_t type, const std::vector<uint8_t>& bytes);
// Keys handed out and not yet closed.
size_t openRegistryKeys();

std::vector<uint8_t> dwordBytes(uint32_t value);
// The text's units little-endian, with the terminator.
std::vector<uint8_t> textBytes(const std::u16string& text);

}  // namespace fake
