// Entry point of the umockdev tests. libusb only sees emulated devices when umockdev's preload
// library is loaded before everything else, so the executable re-executes itself with it: the
// tests then run the same way from ctest, a shell or CI.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr const char* kPreload = "libumockdev-preload.so.0";

// Adds `value` to a list in the environment, before or after what is there already.
void addToEnvironment(const char* name, const std::string& value, const char* separator,
                      bool first) {
    const char* old = std::getenv(name);
    if (old == nullptr || *old == '\0') {
        setenv(name, value.c_str(), 1);
        return;
    }
    const std::string combined = first ? value + separator + old : old + (separator + value);
    setenv(name, combined.c_str(), 1);
}

void prependEnvironment(const char* name, const std::string& value, const char* separator) {
    addToEnvironment(name, value, separator, true);
}

// Whether the preload library is mapped into this process (umockdev's own check looks at the
// testbed environment, which does not exist yet at start-up).
bool preloadLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("libumockdev-preload") != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!preloadLoaded()) {
        if (std::getenv("TARNO_UMOCKDEV_REEXEC") != nullptr) {
            std::fprintf(stderr, "%s did not load; is umockdev installed?\n", kPreload);
            return 1;
        }
        setenv("TARNO_UMOCKDEV_REEXEC", "1", 1);
        prependEnvironment("LD_PRELOAD", kPreload, ":");
        // AddressSanitizer insists on being first in the library list; the preload comes first.
        prependEnvironment("ASAN_OPTIONS", "verify_asan_link_order=0", ":");
        // ThreadSanitizer cannot see umockdev's and GLib's own synchronisation. The last
        // suppressions file named wins, so ours goes after one the caller gave for the suite.
        addToEnvironment("TSAN_OPTIONS", "suppressions=" TARNO_TSAN_SUPPRESSIONS, " ", false);
        execv("/proc/self/exe", argv);
        std::perror("re-executing with umockdev's preload library");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
