#include "tests/support/Junk.h"

#include <atomic>
#include <thread>

namespace {

// Nothing, a small number, every bit, the edges of the signed range, an
// address in the first unmapped pages and one in the system's half.
const LPARAM kJunk[] = {0, 1, -1, 0x7FFFFFFF, static_cast<LPARAM>(0x80000000u), 0x10000};

} // namespace

std::vector<UINT> PrivateMessageRange() {
    std::vector<UINT> messages;
    for (UINT first : {static_cast<UINT>(WM_USER), static_cast<UINT>(WM_APP)}) {
        for (UINT m = first; m <= first + 20; ++m) {
            messages.push_back(m);
        }
    }
    return messages;
}

long SendAndPostJunk(const std::vector<HWND>& windows, const std::vector<UINT>& messages,
                     const std::function<bool(const std::function<bool()>&)>& wait) {
    std::atomic<bool> done{false};
    std::thread other([&] {
        for (const HWND window : windows) {
            for (const UINT message : messages) {
                for (const LPARAM w : kJunk) {
                    for (const LPARAM l : kJunk) {
                        DWORD_PTR answer = 0;
                        SendMessageTimeoutA(window, message, static_cast<WPARAM>(w), l, SMTO_NORMAL,
                                            2000, &answer);
                        PostMessageA(window, message, static_cast<WPARAM>(w), l);
                    }
                }
            }
        }
        done = true;
    });
    wait([&] { return done.load(); });
    other.join();
    return static_cast<long>(windows.size() * messages.size() * 2 * std::size(kJunk) *
                             std::size(kJunk));
}
