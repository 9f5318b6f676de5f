#pragma once

#include <ctime>
#include <string>

// Writes an export next to the data logs without ever touching a file it did not create: the
// name is "Tarno_<kind>_<local date>_<time><extension>", "_2", "_3", ... added when that is
// taken, and the file is made by createNewFile (exclusively, never through a link), so an
// existing file or a link planted under the name is never opened. A failed write removes only
// the file it created.
class ExportFile {
  public:
    struct Result {
        bool written = false;
        std::string path;   // the file written (empty on failure)
        std::string error;  // why not, for the on-screen log
    };

    // "Tarno_" + kind + "_" + "%d%.2d%.2d_%.2d%.2d%.2d" of `local`.
    static std::string stem(const std::string& kind, const std::tm& local);

    // `directory` ends with '/' or is empty. Tries stem + extension, then stem + "_2" +
    // extension and so on.
    static Result write(const std::string& directory, const std::string& stemText,
                        const std::string& extension, const std::string& content);
};
