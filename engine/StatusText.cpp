#include "StatusText.h"

#include <mutex>

namespace quillery {

namespace {
std::mutex& StatusMutex() {
    static std::mutex mutex;
    return mutex;
}
std::u16string& StatusStorage() {
    static std::u16string text;
    return text;
}
}  // namespace

void SetStatusText(std::u16string text) {
    std::lock_guard lock(StatusMutex());
    StatusStorage().swap(text);
}

std::u16string StatusText() {
    std::lock_guard lock(StatusMutex());
    return StatusStorage();
}

}  // namespace quillery
