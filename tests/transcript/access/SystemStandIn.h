// Stand-ins for the system functions the transcript's accessibility calls
// (the run-time table of transcript/access/ChatListUia.h): a test sees what
// the program hands the system at the very call, and says whether a UI
// Automation client listens. The system's own entries come back when the
// stand-in goes.
#pragma once

#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <string>
#include <vector>

namespace standin {

struct Event {
    IRawElementProviderSimple* provider;
    EVENTID id;
};
struct Notification {
    IRawElementProviderSimple* provider;
    uia::NotificationProcessing processing;
    std::wstring said;
    std::wstring activity;
};
struct Returned {
    HWND hwnd;
    WPARAM wParam;
    LPARAM lParam;
    IRawElementProviderSimple* provider;
};

inline bool listening = false;
inline int asked = 0;   // calls of UiaClientsAreListening
inline int strings = 0; // texts converted for the system (SysAllocStringLen)
inline std::vector<Event> events;
inline std::vector<Notification> notifications;
inline std::vector<Returned> returned;
inline uia::Api system{};

inline BOOL WINAPI ClientsAreListening() {
    ++asked;
    return listening ? TRUE : FALSE;
}
inline BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length) {
    ++strings;
    return system.SysAllocStringLen != nullptr ? system.SysAllocStringLen(text, length) : nullptr;
}
inline HRESULT WINAPI RaiseAutomationEvent(IRawElementProviderSimple* provider, EVENTID id) {
    events.push_back(Event{provider, id});
    return S_OK;
}
inline HRESULT WINAPI RaiseNotificationEvent(IRawElementProviderSimple* provider,
                                             uia::NotificationKind,
                                             uia::NotificationProcessing processing, BSTR said,
                                             BSTR activity) {
    notifications.push_back(Notification{provider, processing, said != nullptr ? said : L"",
                                         activity != nullptr ? activity : L""});
    return S_OK;
}
inline LRESULT WINAPI ReturnRawElementProvider(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                               IRawElementProviderSimple* provider) {
    returned.push_back(Returned{hwnd, wParam, lParam, provider});
    return system.ReturnRawElementProvider != nullptr
               ? system.ReturnRawElementProvider(hwnd, wParam, lParam, provider)
               : 0;
}

inline size_t EventsOf(EVENTID id) {
    size_t n = 0;
    for (const Event& e : events) {
        n += e.id == id;
    }
    return n;
}

// While it lives, the table's listening, string, event, notification and
// provider-return entries are the stand-ins above.
class System {
public:
    explicit System(bool clientsListen) {
        uia::Api& table = AccessibilityFunctions();
        system = table;
        listening = clientsListen;
        asked = 0;
        strings = 0;
        events.clear();
        notifications.clear();
        returned.clear();
        table.ClientsAreListening = ClientsAreListening;
        table.SysAllocStringLen = SysAllocStringLen;
        table.RaiseAutomationEvent = RaiseAutomationEvent;
        table.RaiseNotificationEvent = RaiseNotificationEvent;
        table.ReturnRawElementProvider = ReturnRawElementProvider;
    }
    ~System() { AccessibilityFunctions() = system; }
    System(const System&) = delete;
    System& operator=(const System&) = delete;
};

} // namespace standin
