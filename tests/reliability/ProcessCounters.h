// What a running process holds, for the long-run tests: its private memory and
// its GDI and USER objects.
#pragma once

#include <windows.h>

struct ProcessCounters {
    SIZE_T privateBytes; // 0 when the system cannot tell
    DWORD gdiObjects;
    DWORD userObjects;
    const char* gdiSource; // how the counts were taken, for the record; GDI: nullptr
                           // when this system gives no count for another process
    const char* userSource;
};

// The process handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
ProcessCounters ReadProcessCounters(HANDLE process, DWORD processId);
