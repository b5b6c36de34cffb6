#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT AnswerAccessible(HWND hwnd, ChatState&, WPARAM wParam) {
    return DefWindowProcA(hwnd, WM_GETOBJECT, wParam, static_cast<LPARAM>(OBJID_CLIENT));
}

} // namespace chatlist
