#pragma once

#include <cstdio>
#include <string>

// An output file Tarno has just created, so it is ours to write, truncate or remove. Every file
// the program writes (data logs, screenshots, pictures, recordings) is made through
// createNewFile: created exclusively and never through a symbolic link, so nothing already on
// disk, the user's or a planted link, is ever overwritten.
struct NewFile {
    int fd = -1;       // open for writing; -1 on failure
    std::string path;  // the name actually created (or the last one tried)
    int error = 0;     // errno of the failure

    bool ok() const { return fd >= 0; }
    // "path: reason" for messages.
    std::string failure() const;
    // Hands the descriptor to a stdio stream ("w" or "wb"); nullptr (descriptor closed) on
    // failure. Either way the descriptor is no longer this object's.
    std::FILE* releaseAsStream(const char* mode);
};

// Creates `directory + stem + extension` (directory empty or ending with '/') with
// O_CREAT|O_EXCL|O_NOFOLLOW|O_CLOEXEC. When `numbered` and that name is taken by anything (a file,
// a directory, a link), "_2", "_3", ... are tried before the extension, as screenshots taken in
// one second are named. Without `numbered` a taken name fails with EEXIST.
NewFile createNewFile(const std::string& directory, const std::string& stem,
                      const std::string& extension, bool numbered = true);

// The same for a full path: the stem and extension are split at the last '.' of the file name.
NewFile createNewFile(const std::string& path, bool numbered = true);
