#include "platform/fake/registry.h"

#include <cstring>
#include <map>

#include "platform/fake/internal.h"
#include "platform/registry.h"

namespace fake {
namespace {

struct Key {
  std::u16string path;  // as first written
  std::vector<RegistryValue> values;
};

// Keyed by the folded path, so lookups ignore letter case.
std::map<std::u16string, Key> keys;
// Open handles: index + 1 is the handle value; an empty path is closed.
std::vector<std::u16string> handles;


std::u16string join(const std::u16string& parent, const char16_t* sub) {
  std::u16string child(sub != nullptr ? sub : u"");
  if (parent.empty()) return child;
  return child.empty() ? parent : parent + u"\\" + child;
}

Key* findKey(const std::u16string& path) {
  auto it = keys.find(folded(path));
  return it == keys.end() ? nullptr : &it->second;
}

Key& makeKey(const std::u16string& path) {
  // Every level above it exists too.
  for (size_t at = path.find(u'\\'); at != std::u16string::npos;
       at = path.find(u'\\', at + 1)) {
    const std::u16string level = path.substr(0, at);
    keys.emplace(folded(level), Key{level, {}});
  }
  return keys.emplace(folded(path), Key{path, {}}).first->second;
}

plat::HKEY handleFor(const std::u16string& path) {
  handles.push_back(path);
  return reinterpret_cast<plat::HKEY>(static_cast<uintptr_t>(handles.size()));
}

// The path behind a handle, or false for one that is not open.
bool pathOf(plat::HKEY key, std::u16string* path) {
  if (key == plat::HKEY_LOCAL_MACHINE) {
    path->clear();
    return true;
  }
  const uintptr_t index = reinterpret_cast<uintptr_t>(key) - 1;
  if (index >= handles.size() || handles[index].empty()) return false;
  *path = handles[index];
  return true;
}

RegistryValue* findValue(Key& key, const char16_t* name) {
  const char16_t* n = name != nullptr ? name : u"";
  for (RegistryValue& v : key.values)
    if (folded(v.name) == folded(n)) return &v;
  return nullptr;
}

}  // namespace

void resetRegistry() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  keys.clear();
  handles.clear();
}

bool registryKeyExists(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return findKey(path) != nullptr;
}

std::vector<RegistryValue> registryValues(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Key* key = findKey(path);
  return key != nullptr ? key->values : std::vector<RegistryValue>{};
}

void setRegistryValue(const std::u16string& path, const std::u16string& name,
                      uint32_t type, const std::vector<uint8_t>& bytes) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Key& key = makeKey(path);
  if (RegistryValue* v = findValue(key, name.c_str()))
    *v = {v->name, type, bytes};
  else
    key.values.push_back({name, type, bytes});
}

size_t openRegistryKeys() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t open = 0;
  for (const std::u16string& h : handles)
    if (!h.empty()) ++open;
  return open;
}

std::vector<uint8_t> dwordBytes(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> textBytes(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t u : text) {
    bytes.push_back(static_cast<uint8_t>(u));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

LSTATUS RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, uint32_t ulOptions,
                      uint32_t samDesired, HKEY* phkResult) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegOpenKeyExW)) {
    c->args[0] = asArg(hKey);
    c->args[1] = asArg(lpSubKey);
    c->args[2] = ulOptions;
    c->args[3] = samDesired;
    c->args[4] = asArg(phkResult);
    fake::copyUnits(c->text, 256, lpSubKey);
  }
  std::u16string parent;
  if (!fake::pathOf(hKey, &parent)) return ERROR_INVALID_HANDLE;
  if (fake::shouldFail(Op::RegOpenKeyExW)) return ERROR_ACCESS_DENIED;
  const std::u16string path = fake::join(parent, lpSubKey);
  if (fake::findKey(path) == nullptr) return ERROR_FILE_NOT_FOUND;
  *phkResult = fake::handleFor(path);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, const char16_t* lpValueName,
                         uint32_t* lpReserved, uint32_t* lpType,
                         uint8_t* lpData, uint32_t* lpcbData) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegQueryValueExW)) {
    c->args[0] = asArg(hKey);
    c->args[1] = asArg(lpValueName);
    c->args[2] = asArg(lpReserved);
    c->args[3] = asArg(lpType);
    c->args[4] = asArg(lpData);
    c->args[5] = lpcbData != nullptr ? *lpcbData : 0;
    fake::copyUnits(c->text, 256, lpValueName);
  }
  std::u16string path;
  if (!fake::pathOf(hKey, &path)) return ERROR_INVALID_HANDLE;
  if (fake::shouldFail(Op::RegQueryValueExW)) return ERROR_ACCESS_DENIED;
  fake::Key* key = fake::findKey(path);
  fake::RegistryValue* v =
      key != nullptr ? fake::findValue(*key, lpValueName) : nullptr;
  if (v == nullptr) return ERROR_FILE_NOT_FOUND;
  if (lpType != nullptr) *lpType = v->type;
  const uint32_t size = static_cast<uint32_t>(v->bytes.size());
  if (lpData != nullptr && (lpcbData == nullptr || *lpcbData < size)) {
    if (lpcbData != nullptr) *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  if (lpData != nullptr && size != 0)
    std::memcpy(lpData, v->bytes.data(), size);
  if (lpcbData != nullptr) *lpcbData = size;
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey,
                        uint32_t Reserved, char16_t* lpClass,
                        uint32_t dwOptions, uint32_t samDesired,
                        const void* lpSecurityAttributes, HKEY* phkResult,
                        uint32_t* lpdwDisposition) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegCreateKeyExW)) {
    const uintptr_t args[9] = {asArg(hKey),      asArg(lpSubKey),
                               Reserved,         asArg(lpClass),
                               dwOptions,        samDesired,
                               asArg(lpSecurityAttributes),
                               asArg(phkResult), asArg(lpdwDisposition)};
    std::memcpy(c->args, args, sizeof args);
    fake::copyUnits(c->text, 256, lpSubKey);
  }
  std::u16string parent;
  if (!fake::pathOf(hKey, &parent)) return ERROR_INVALID_HANDLE;
  if (fake::shouldFail(Op::RegCreateKeyExW)) return ERROR_ACCESS_DENIED;
  const std::u16string path = fake::join(parent, lpSubKey);
  const bool existed = fake::findKey(path) != nullptr;
  fake::makeKey(path);
  *phkResult = fake::handleFor(path);
  if (lpdwDisposition != nullptr) *lpdwDisposition = existed ? 2 : 1;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY hKey, const char16_t* lpValueName,
                       uint32_t Reserved, uint32_t dwType,
                       const uint8_t* lpData, uint32_t cbData) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegSetValueExW)) {
    c->args[0] = asArg(hKey);
    c->args[1] = asArg(lpValueName);
    c->args[2] = Reserved;
    c->args[3] = dwType;
    c->args[4] = asArg(lpData);
    c->args[5] = cbData;
    fake::copyUnits(c->text, 256, lpValueName);
    fake::copyBytes(c, lpData, cbData);
  }
  std::u16string path;
  if (!fake::pathOf(hKey, &path) || path.empty()) return ERROR_INVALID_HANDLE;
  if (fake::shouldFail(Op::RegSetValueExW)) return ERROR_ACCESS_DENIED;
  fake::Key& key = fake::makeKey(path);
  std::vector<uint8_t> bytes(lpData, lpData + (lpData != nullptr ? cbData : 0));
  const char16_t* name = lpValueName != nullptr ? lpValueName : u"";
  if (fake::RegistryValue* v = fake::findValue(key, name))
    *v = {v->name, dwType, std::move(bytes)};
  else
    key.values.push_back({name, dwType, std::move(bytes)});
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegCloseKey)) c->args[0] = asArg(hKey);
  const uintptr_t index = reinterpret_cast<uintptr_t>(hKey) - 1;
  if (index >= fake::handles.size() || fake::handles[index].empty())
    return ERROR_INVALID_HANDLE;
  fake::handles[index].clear();
  return ERROR_SUCCESS;
}

}  // namespace plat
