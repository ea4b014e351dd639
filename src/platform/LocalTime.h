// The calendar time in the machine's time zone, safe from any thread.
#pragma once

#include <ctime>

std::tm LocalTime(std::time_t time) noexcept;
