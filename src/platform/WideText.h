// UTF-8 and the UTF-16 text of the Windows calls (Windows builds only).
// Invalid sequences become U+FFFD rather than failing.
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
