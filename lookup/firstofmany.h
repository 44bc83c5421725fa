// One way to tell the first few of many, shared by the descriptions and the spoken answer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The first `shown` items, then how many more: "a, b, c and 2 more".
std::string FirstOfMany(const std::vector<std::string>& items, std::size_t shown);
