// SPDX-License-Identifier: MIT
#include "session/encoding.h"

#include <vector>

namespace vantor {

std::string EncFunct(std::string_view password) {
    static constexpr char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789./";
    const std::size_t n = password.size();
    // Codes as unsigned bytes: a signed char would turn accented letters negative and change the
    // AND/XOR results. The trailing 0 is the partner of the first character.
    std::vector<int> a(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i) a[i] = static_cast<unsigned char>(password[i]);

    std::string out(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        const int partner = a[n - i];
        const int b = (a[i] % 2 != 0) ? ((a[i] * 2) & partner) : (a[i] ^ partner);
        out[i] = kAlphabet[b & 63];
    }
    return out;
}

}  // namespace vantor
