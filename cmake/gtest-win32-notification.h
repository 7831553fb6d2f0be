// googletest's Notification for GCC's win32 thread model, which has no std::mutex or
// std::condition_variable: a manual-reset event does the same job.
#pragma once
#ifdef __cplusplus
#include <windows.h>
namespace testing {
namespace internal {
class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};
}  // namespace internal
}  // namespace testing
#endif
