// The file-system steps of saving a picture, one file per platform. Paths are
// UTF-8; every failure is raised as EPictureSave with the system's reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace PictureFileSystem {

// Writes `bytes` to a new file of our own in `dir` (ending in a separator),
// flushed to the disk, and returns its name.
std::string WriteTemporary(const std::string& dir, const std::vector<std::uint8_t>& bytes);

// Gives the finished temporary file the name `path` unless that name is
// taken: false then, and the temporary file is still there. A file already
// called `path` is never replaced.
bool Publish(const std::string& temp, const std::string& path);

// Removes a temporary file that did not get its name.
void Discard(const std::string& temp) noexcept;

// Makes the folder's new entry reach the disk where the system needs asking.
void SyncFolder(const std::string& dir) noexcept;

// Whether `c` ends a folder name on this system.
bool IsSeparator(char c);

}  // namespace PictureFileSystem
