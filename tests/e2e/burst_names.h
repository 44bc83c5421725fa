// The burst zone: the test DNS server gives every name 10-77-X-Y.burst.nomvara.test the address
// 10.77.X.Y and back, so each answer can be told apart from every other.
#pragma once

#include <string>

namespace burst {

// The i-th burst lookup's address and name, for i below 65,536.
inline std::string Address(int i) { return "10.77." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256); }
inline std::string Name(int i) {
    return "10-77-" + std::to_string(i / 256 % 256) + "-" + std::to_string(i % 256) + ".burst.nomvara.test";
}

}  // namespace burst
