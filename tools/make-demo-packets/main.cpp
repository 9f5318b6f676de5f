// make-demo-packets: writes the demonstration packet files that playback reads when no accessory
// is attached, recorded from the accessory simulator with a fixed seed so every build produces
// the same bytes.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "sim/DemoRecorder.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "make-demo-packets: cannot create %s: %s\n",
                     path.parent_path().c_str(), error.message().c_str());
        return false;
    }
    // Write beside the target and rename, so an interrupted build never leaves a cut file.
    std::filesystem::path partial = path;
    partial += ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make-demo-packets: cannot write %s: %s\n", partial.c_str(),
                     std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (ok) {
        std::filesystem::rename(partial, path, error);
        ok = !error;
    }
    if (!ok) {
        std::fprintf(stderr, "make-demo-packets: writing %s failed\n", path.c_str());
        std::filesystem::remove(partial, error);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) == "--help") {
        std::fprintf(stderr,
                     "Usage: make-demo-packets <resource folder> [--seed N]\n"
                     "Writes packets/<generation>/<prefix>*.bin below the folder.\n");
        return argc < 2 ? 2 : 0;
    }
    uint64_t seed = DemoRecorder::kDefaultSeed;
    if (argc >= 4 && std::string_view(argv[2]) == "--seed") {
        char* end = nullptr;
        seed = std::strtoull(argv[3], &end, 0);
        if (end == argv[3] || *end != '\0') {
            std::fprintf(stderr, "make-demo-packets: bad seed '%s'\n", argv[3]);
            return 2;
        }
    }
    std::filesystem::path root = argv[1];
    DemoRecorder recorder(seed);
    int failures = 0;
    for (const DemoRecorder::File& file : recorder.recordAll()) {
        if (!writeFile(root / file.path, file.bytes)) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
