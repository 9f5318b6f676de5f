// Recording a live session into demonstration files, and playing those files back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/FileResourceReader.h"
#include "link/SessionRecorder.h"
#include "sim/HostCommands.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/tarno-rec-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

}  // namespace

TEST(SessionRecorder, WritesWhatThePlaybackLooksUpAndThePlaybackPlaysIt) {
    TempDir dir;
    {
        auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 3, SignalType::Dect);
        SessionRecorder recorder(dir.path, "Dect.bin");
        auto take = [&] {
            std::vector<uint8_t> bytes = sim->readAll();
            // Deliveries cut at odd places, as USB reads are.
            for (size_t at = 0; at < bytes.size(); at += 333) {
                recorder.deliver(bytes.data() + at, std::min<size_t>(333, bytes.size() - at));
            }
        };
        const GenerationProfile& profile = sim->profile();
        recorder.deliver(std::vector<uint8_t>(50, 0x17).data(), 50);  // noise before discovery
        sim->receive(HostCommands::request(HostCommands::kDiscovery));
        take();
        for (SimBand band : {SimBand::Band24, SimBand::Band5}) {
            sim->receive(HostCommands::spectrumSettings(profile, 1, band));
            sim->receive(HostCommands::request(HostCommands::kSpectrum));
            sim->step(5000);
            take();
        }
        sim->receive(HostCommands::request(HostCommands::kScan));
        sim->step(6000);
        take();
        recorder.finish();
        EXPECT_FALSE(recorder.failed());
        const auto& written = recorder.written();
        EXPECT_EQ(written.at("packets/TarnoDuo/TarnoDuo_discover.bin"), 56u);
        EXPECT_EQ(written.at("packets/TarnoDuo/TarnoDuo_settings.bin"), 3u);
        EXPECT_EQ(written.at("packets/TarnoDuo/TarnoDuo_spectrumDect.bin") % 260, 0u);
        EXPECT_EQ(written.at("packets/TarnoDuo/TarnoDuo_spectrum5GHzDect.bin"), 4u * 516u);
        EXPECT_GT(written.at("packets/TarnoDuo/TarnoDuo_ssid.bin"), 20u * 64u);
    }

    FileResourceReader files(dir.path);
    ControllerRig rig(&files);
    rig.model.demo.signalType = 2;
    rig.model.spectrum_settings.band = 1;
    for (int i = 0; i < 60; ++i) {
        rig.pass();
    }
    EXPECT_GE(rig.model.band5.sweepCount(), 4);
}

TEST(SessionRecorder, NeverReplacesAFileOrFollowsALinkAtARecordingsName) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(dir.path) / "packets/TarnoDuo");
    const std::string target = dir.path + "/elsewhere.bin";
    { std::ofstream(target) << "keep"; }
    fs::create_symlink(target, dir.path + "/packets/TarnoDuo/TarnoDuo_discover.bin");
    auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 3, SignalType::Dect);
    SessionRecorder recorder(dir.path, "Dect.bin");
    sim->receive(HostCommands::request(HostCommands::kDiscovery));
    std::vector<uint8_t> bytes = sim->readAll();
    recorder.deliver(bytes.data(), bytes.size());
    recorder.finish();
    EXPECT_TRUE(recorder.failed());
    EXPECT_EQ(recorder.failure(),
              dir.path + "/packets/TarnoDuo/TarnoDuo_discover.bin: File exists");
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep");
}

TEST(FileResourceReader, LooksInTheSearchPathsInOrder) {
    TempDir dir;
    namespace fs = std::filesystem;
    auto write = [&](const std::string& name, const std::string& text) {
        fs::path path = fs::path(dir.path) / name;
        fs::create_directories(path.parent_path());
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs(text.c_str(), f);
        std::fclose(f);
    };
    write("res/packets/a.bin", "res");
    write("packets/a.bin", "root");
    write("packets/b.bin", "root-b");
    write("res/desktop/sd/packets/b.bin", "sd");
    FileResourceReader reader(dir.path);
    auto text = [&](const std::string& name) {
        std::vector<uint8_t> bytes = reader.readFile(name);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text("packets/a.bin"), "res");
    EXPECT_EQ(text("packets/b.bin"), "sd");
    EXPECT_EQ(text("packets/missing.bin"), "");
    EXPECT_EQ(text("packets"), "");  // a directory is not a file
    EXPECT_EQ(reader.fullPath("packets/a.bin"), dir.path + "/res/packets/a.bin");
}
