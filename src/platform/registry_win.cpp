// SPDX-License-Identifier: MIT
// The real registry on Windows.
#include "platform/registry.h"

#include <string>

#include <windows.h>

namespace vantor::registry {

class Key {
public:
    HKEY handle = nullptr;
};

void KeyCloser::operator()(Key* key) const noexcept {
    if (key != nullptr && key->handle != nullptr) RegCloseKey(key->handle);
    delete key;
}

KeyHandle CreateKey(std::string_view path, bool* createdNew, std::string* problem) noexcept {
    try {
        if (createdNew != nullptr) *createdNew = false;
        std::string subKey(path);
        auto key = KeyHandle(new Key);
        DWORD disposition = 0;
        char emptyClass[] = "";
        const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, emptyClass, 0,
                                        KEY_ALL_ACCESS, nullptr, &key->handle, &disposition);
        if (rc != ERROR_SUCCESS) {
            key->handle = nullptr;
            if (problem != nullptr) {
                *problem = rc == ERROR_ACCESS_DENIED ? std::string("access denied")
                                                     : "error " + std::to_string(rc);
            }
            return nullptr;
        }
        if (createdNew != nullptr) *createdNew = disposition == REG_CREATED_NEW_KEY;
        return key;
    } catch (...) {
        return nullptr;
    }
}

std::string Location() {
    return "HKEY_LOCAL_MACHINE";
}

long QueryValue(Key& key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) noexcept {
    try {
        std::string valueName(name);
        DWORD t = 0;
        DWORD s = size != nullptr ? *size : 0;
        LONG rc = RegQueryValueExA(key.handle, valueName.c_str(), nullptr, &t, data,
                                   size != nullptr ? &s : nullptr);
        if (type != nullptr) *type = t;
        if (size != nullptr) *size = s;
        return rc;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

long SetValue(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) noexcept {
    try {
        std::string valueName(name);
        return RegSetValueExA(key.handle, valueName.c_str(), 0, type, data, size);
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

}  // namespace vantor::registry
