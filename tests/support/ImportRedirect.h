// Failures on demand from the system: a function this test program imports
// (the program's code linked into it included) pointed elsewhere.
#pragma once

// Points this module's import of a function elsewhere; answers the import's
// old target, or nullptr when the module does not import it.
void* RedirectImport(const char* dll, const char* function, void* target);

// Memory that cannot be had: while a NoPages lives, every page request
// (VirtualAlloc) is refused. Committing more than the address space succeeds
// on some systems, so a failure is made rather than waited for.
class NoPages {
public:
    NoPages();
    ~NoPages();
    NoPages(const NoPages&) = delete;
    NoPages& operator=(const NoPages&) = delete;
    // Whether the requests are being refused (the module imports VirtualAlloc).
    bool Active() const;
    // How many requests were refused since this one was made.
    int Refused() const;
};
