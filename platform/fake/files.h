// The in-memory file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fake {

bool fileExists(const std::u16string& path);
std::vector<uint8_t> fileBytes(const std::u16string& path);
void setFile(const std::u16string& path, const std::vector<uint8_t>& bytes);
// Every file's path, sorted.
std::vector<std::u16string> filePaths();
size_t openFiles();

// From now on the file system takes only `bytes` more bytes: the write that
// crosses the limit writes what fits and fails, as on a full disk.
void limitWrites(size_t bytes);

}  // namespace fake
