// Loaded into tarno-cli with LD_PRELOAD by the tests: installs the faulty VFS before main() and
// arms the faults named in TARNO_TEST_SQLITE_FAULTS (see FaultyVfs::failFromText).
#include <cstdio>
#include <cstdlib>

#include "tests/storage/FaultyVfs.h"

namespace {

__attribute__((constructor)) void armFaults() {
    FaultyVfs::install();
    const char* faults = std::getenv("TARNO_TEST_SQLITE_FAULTS");
    if (faults != nullptr && !FaultyVfs::failFromText(faults)) {
        std::fprintf(stderr, "faulty VFS: cannot parse '%s'\n", faults);
        std::abort();
    }
}

}  // namespace
