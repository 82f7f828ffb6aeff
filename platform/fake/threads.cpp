// Threads: each CreateThread starts a real thread, detached, so the watcher
// runs as it would on the device; its handle closes with CloseHandle.
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/fake/ui_internal.h"
#include "platform/thread.h"

namespace fake {
namespace {

constexpr uint32_t kFirstThreadId = 0x100;

std::vector<bool> handles;  // open or closed, by handle
size_t finished = 0;
// Threads still running from before a reset do not count after it.
uint64_t generation = 0;

size_t threadIndex(plat::HANDLE handle) {
  return reinterpret_cast<uintptr_t>(handle) - kFirstThread;
}

}  // namespace

void resetThreads() {
  handles.clear();
  finished = 0;
  ++generation;
}

bool closeThread(plat::HANDLE handle) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const size_t index = threadIndex(handle);
  if (index >= handles.size() || !handles[index]) return false;
  handles[index] = false;
  return true;
}

size_t threadsStarted() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return handles.size();
}

size_t threadsFinished() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return finished;
}

size_t openThreadHandles() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (bool open : handles) n += open ? 1 : 0;
  return n;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HANDLE CreateThread(const void* lpThreadAttributes, size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, void* lpParameter,
                    uint32_t dwCreationFlags, uint32_t* lpThreadId) {
  size_t index;
  uint64_t generation;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::CreateThread)) {
      const uintptr_t args[6] = {asArg(lpThreadAttributes),
                                 dwStackSize,
                                 reinterpret_cast<uintptr_t>(lpStartAddress),
                                 asArg(lpParameter),
                                 dwCreationFlags,
                                 asArg(lpThreadId)};
      std::memcpy(c->args, args, sizeof args);
    }
    if (fake::shouldFail(Op::CreateThread) || lpStartAddress == nullptr)
      return nullptr;
    index = fake::handles.size();
    fake::handles.push_back(true);
    generation = fake::generation;
  }
  if (lpThreadId != nullptr)
    *lpThreadId = fake::kFirstThreadId + static_cast<uint32_t>(index);
  try {
    std::thread([lpStartAddress, lpParameter, generation] {
      lpStartAddress(lpParameter);
      std::lock_guard<std::mutex> guard(fake::deviceMutex);
      if (generation == fake::generation) ++fake::finished;
    }).detach();
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (generation == fake::generation) fake::handles[index] = false;
    return nullptr;
  }
  return reinterpret_cast<HANDLE>(fake::kFirstThread + index);
}

}  // namespace plat
