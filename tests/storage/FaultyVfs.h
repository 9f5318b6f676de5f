#pragma once

#include <string>

// An SQLite VFS that wraps the default one and, on demand, fails chosen operations with chosen
// result codes, the way SQLite's own tests inject I/O faults. Installed as the default VFS, so
// the real store, the configuration loader and tarno-cli run unchanged on top of it. Lets tests
// make a disk full, a file unreadable or a folder read-only without root's help (root reads a
// mode-000 file anyway).
class FaultyVfs {
  public:
    enum class Operation {
        open,    // any open of a file whose path ends with the filter
        create,  // an open that would create a file that does not exist yet
        read,
        write,  // writes and truncations
        sync,
        shmMap,  // the shared-memory index of a write-ahead log
        remove,
    };

    // Registers the VFS as the default one (once per process).
    static void install();
    // From now on `operation` fails with `code` on files whose path ends with `pathSuffix`
    // (every file when empty). Faults add up until clear().
    static void fail(Operation operation, int code, const std::string& pathSuffix = {});
    static void clear();
    // Failures injected since the last clear().
    static int injected();

    // Faults written as "read:IOERR,shm:IOERR_SHMSIZE" (operations: open, create, read, write,
    // sync, shm, remove; codes: the SQLITE_ names without the prefix). False for a word it does
    // not know.
    static bool failFromText(const std::string& text);
};
