// Files at the system boundary.
//
// Paths are UTF-8 text throughout the program. These functions hand them to
// the system in its own form (UTF-16 on Windows, where the narrow file calls
// would read them in the local code page and lose every Korean folder name).
// None of them throws.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// UTF-8 text to a path of the system's own kind, and back.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen under a UTF-8 name; null when the file cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode) noexcept;

// Renames `from` to `to` in one step, replacing a file already called `to`.
// False when the system refuses; `from` is then left where it was.
bool MoveFileReplacing(const std::string& from, const std::string& to) noexcept;

// Makes `bytes` the whole content of `path`: they go to a temporary file
// beside it, reach the disk, and that file then takes the old one's place in
// one step, so `path` is always either the old file or the new one, never half
// written. A file marked read-only is refused and left as it is, even for a
// user the system would let write it. False when refused or when any step
// fails; no temporary file is left behind.
bool ReplaceFileContents(const std::string& path, std::string_view bytes) noexcept;

// Full path of the running executable; empty when the system does not say.
std::string ExecutablePath();
