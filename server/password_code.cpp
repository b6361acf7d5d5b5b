// SPDX-License-Identifier: MIT
#include "password_code.h"

#include <vector>

namespace vantor::server {

std::string EncodePassword(std::string_view password) {
    static constexpr std::string_view kAlphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789./";
    const std::size_t n = password.size();
    std::vector<int> codes(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i) codes[i] = static_cast<unsigned char>(password[i]);
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        int a = codes[i];
        int partner = codes[n - i];
        int b = (a % 2 != 0) ? ((a * 2) & partner) : (a ^ partner);
        out += kAlphabet[static_cast<std::size_t>(b & 63)];
    }
    return out;
}

}  // namespace vantor::server
