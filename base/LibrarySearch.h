// Where a library asked for by name alone is looked for in this process.
#pragma once

// From here on, a library loaded by name alone, by this program or by a
// system library on its behalf, comes from the system folder only: never from
// the program's own folder (an archive unpacked into a downloads folder) nor
// from the current one. Where the system cannot do that (Windows 7 without its
// update KB2533623), the current folder alone is left out.
void LimitLibrarySearchToSystemFolder();
