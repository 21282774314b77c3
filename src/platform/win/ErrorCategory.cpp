// SPDX-License-Identifier: MIT
#include "platform/win/Windows.h"

namespace logwarden::platform::win {
namespace {

class SystemCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    std::string message(int code) const override {
        char* text = nullptr;
        const DWORD length = ::FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string message(text != nullptr ? text : "", length);
        ::LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
            message.pop_back();
        }
        return message.empty() ? "error " + std::to_string(code) : message;
    }

    std::error_condition default_error_condition(int code) const noexcept override {
        switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return std::errc::no_such_file_or_directory;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return std::errc::permission_denied;
        case ERROR_DIRECTORY:
            return std::errc::is_a_directory;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::errc::no_space_on_device;
        default:
            return {code, *this};
        }
    }
};

} // namespace

const std::error_category& systemCategory() {
    static const SystemCategory category;
    return category;
}

} // namespace logwarden::platform::win
