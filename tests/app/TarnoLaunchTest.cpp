// Starts the real tarno under its own Xvfb server, lets it run the demonstration, captures its
// window with xwd and checks what it shows; then ends it with a signal and checks that it exits
// cleanly, with the configuration it ran with saved. Waiting is polling with generous limits,
// never a timing assertion.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "storage/SqliteKeyValueStore.h"

namespace {

using Clock = std::chrono::steady_clock;

// A decoded xwd window dump (ZPixmap, 24 or 32 bits per pixel).
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first
    struct Px {
        int r, g, b;
    };
    // x from the left, y from the BOTTOM, as the scene measures.
    Px at(int x, int y) const {
        const size_t i = (static_cast<size_t>(height - 1 - y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

uint32_t be32(const std::vector<uint8_t>& d, size_t offset) {
    return uint32_t(d[offset]) << 24 | uint32_t(d[offset + 1]) << 16 |
           uint32_t(d[offset + 2]) << 8 | d[offset + 3];
}

bool decodeXwd(const std::vector<uint8_t>& d, Capture& out) {
    if (d.size() < 100)
        return false;
    const uint32_t headerSize = be32(d, 0);
    const uint32_t format = be32(d, 8);
    const uint32_t width = be32(d, 16);
    const uint32_t height = be32(d, 20);
    const uint32_t byteOrder = be32(d, 28);
    const uint32_t bitsPerPixel = be32(d, 44);
    const uint32_t bytesPerLine = be32(d, 48);
    const uint32_t redMask = be32(d, 56);
    const uint32_t ncolors = be32(d, 76);
    if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) || width == 0 || height == 0 ||
        width > 8192 || height > 8192)
        return false;
    const size_t pixels = size_t(headerSize) + size_t(ncolors) * 12;
    if (pixels + size_t(bytesPerLine) * height > d.size() ||
        bytesPerLine < width * bitsPerPixel / 8)
        return false;
    out.width = int(width);
    out.height = int(height);
    out.rgb.assign(size_t(width) * height * 3, 0);
    const int bytes = int(bitsPerPixel / 8);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = &d[pixels + size_t(y) * bytesPerLine + size_t(x) * bytes];
            uint32_t v = 0;
            for (int k = 0; k < bytes; ++k)
                v |= uint32_t(byteOrder == 0 ? p[k] : p[bytes - 1 - k]) << (8 * k);
            uint8_t* o = &out.rgb[(size_t(y) * width + x) * 3];
            const bool redHigh = redMask == 0xff0000;
            o[0] = uint8_t(redHigh ? v >> 16 : v);
            o[1] = uint8_t(v >> 8);
            o[2] = uint8_t(redHigh ? v : v >> 16);
        }
    }
    return true;
}

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& output, int keepFd = -1) {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    // Child: default signal handling whatever the test runner set, output to a file.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
    }
    (void)keepFd;
    for (const std::string& e : env)
        putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Waits for the process to end; -1 when it is still running at the limit.
int waitExit(pid_t pid, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// The top-level window with this title, searched depth first; 0 when there is none.
Window findWindow(Display* display, Window window, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = std::string(name) == title;
        XFree(name);
        if (match)
            return window;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = findWindow(display, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

// Asks the window titled `title` to close, as a window manager's close button does: a
// WM_DELETE_WINDOW message. False when there is no such window.
bool requestClose(const std::string& displayName, const char* title) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display)
        return false;
    const Window window = findWindow(display, DefaultRootWindow(display), title);
    if (window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }
    XCloseDisplay(display);
    return window != 0;
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path storeIn(const std::filesystem::path& dataHome) {
    return dataHome / "Tarno" / SqliteKeyValueStore::kFileName;
}

// Slot 0 as an earlier release could have left it: the defaults, but a refresh interval of 5 s,
// which tarno lifts to its 20 s minimum when it loads the slot. So the running tarno holds a
// setting the store does not have until tarno saves it.
constexpr float kSeededRefreshInterval = 5.f;
constexpr float kLoadedRefreshInterval = 20.f;

void seedSlot0(const std::filesystem::path& dataHome) {
    std::filesystem::create_directories(dataHome / "Tarno");
    SqliteKeyValueStore store(storeIn(dataHome).string());
    SpectrumSettings settings;
    settings.spectrum_settings.refreshInterval = kSeededRefreshInterval;
    ASSERT_TRUE(ConfigurationStore(store).save(settings, 0));
}

// The refresh interval slot 0 holds, as stored (no load rules applied); -1 when unreadable.
float storedRefreshInterval(const std::filesystem::path& dataHome) {
    SqliteKeyValueStore store(storeIn(dataHome).string());
    SpectrumViewSettings record;
    if (!decodeSpectrumViewSettings(store.getData("config0.spectrum_settings"), record))
        return -1.f;
    return record.refreshInterval;
}

class TarnoLaunchTest : public ::testing::Test {
  protected:
    static bool onPath(const char* program) {
        const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    void SetUp() override {
        if (display_.empty())
            GTEST_SKIP() << "needs Xvfb and xwd (Debian packages xvfb and x11-apps)";
    }

    static void SetUpTestSuite() {
        if (!onPath("Xvfb") || !onPath("xwd"))
            return;
        dir_ =
            std::filesystem::temp_directory_path() / ("tarno_launch_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        // Xvfb writes its display number to the inherited pipe once it accepts connections.
        xvfb_ = fork();
        if (xvfb_ == 0) {
            close(fds[0]);
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            std::string fd = std::to_string(fds[1]);
            // Without -noreset the server resets when its last client leaves, and a tarno
            // started in that moment finds no display.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24",
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number;
    }
    static void TearDownTestSuite() {
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitExit(xvfb_, std::chrono::seconds(10));
        }
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }

    std::filesystem::path dataHome() const { return dir_ / "data"; }

    pid_t launch() {
        const std::string data = dataHome().string();
        std::filesystem::create_directories(data);
        const pid_t tarno = spawn({TARNO_BINARY}, {"DISPLAY=" + display_, "XDG_DATA_HOME=" + data},
                                  (dir_ / "tarno.out").string());
        launched_.push_back(tarno);
        return tarno;
    }

    // A test that failed half way must not leave its tarno running behind it.
    void TearDown() override {
        for (pid_t tarno : launched_) {
            if (waitpid(tarno, nullptr, WNOHANG) == 0) {
                kill(tarno, SIGKILL);
                waitpid(tarno, nullptr, 0);
            }
        }
    }
    std::vector<pid_t> launched_;

    // Dumps the window titled "Tarno"; false while there is none yet.
    bool captureWindow(Capture& capture) {
        const std::string file = (dir_ / "window.xwd").string();
        pid_t xwd = spawn({"xwd", "-display", display_, "-name", "Tarno", "-silent", "-out", file},
                          {}, (dir_ / "xwd.out").string());
        if (waitExit(xwd, std::chrono::seconds(30)) != 0)
            return false;
        return decodeXwd(readFile(file), capture);
    }

    // Polls until the window is mapped and drawn (the grid frame is there), at most a minute.
    // A tarno that ended meanwhile fails at once, with what it printed.
    ::testing::AssertionResult waitForWindow(pid_t tarno, Capture& capture) {
        const auto end = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < end) {
            if (captureWindow(capture) && capture.width == 960 && capture.height == 640 &&
                capture.at(2, 300).r > 100)
                return ::testing::AssertionSuccess();
            int status = 0;
            if (waitpid(tarno, &status, WNOHANG) == tarno) {
                const std::vector<uint8_t> output = readFile((dir_ / "tarno.out").string());
                return ::testing::AssertionFailure()
                       << "tarno ended before showing its window (status " << status << "):\n"
                       << std::string(output.begin(), output.end());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        savePpm(capture, "tarno-launch-no-window.ppm");
        return ::testing::AssertionFailure()
               << "no drawn Tarno window within a minute; the last capture (" << capture.width
               << "x" << capture.height << ") is in tarno-launch-no-window.ppm";
    }

    static void savePpm(const Capture& capture, const std::string& name) {
        std::ofstream out(name, std::ios::binary);
        out << "P6\n" << capture.width << " " << capture.height << "\n255\n";
        out.write(reinterpret_cast<const char*>(capture.rgb.data()),
                  static_cast<std::streamsize>(capture.rgb.size()));
    }

    static inline std::filesystem::path dir_;
    static inline pid_t xvfb_ = -1;
    static inline std::string display_;
};

TEST_F(TarnoLaunchTest, RunsTheDemonstrationAndEndsCleanlyOnSigterm) {
    seedSlot0(dataHome());
    ASSERT_EQ(storedRefreshInterval(dataHome()), kSeededRefreshInterval);
    pid_t tarno = launch();
    Capture capture;
    ASSERT_TRUE(waitForWindow(tarno, capture));
    // Let the demonstration play for a few seconds before the picture is taken.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_TRUE(captureWindow(capture));
    savePpm(capture, "tarno-launch.ppm");
    ASSERT_EQ(capture.width, 960);
    ASSERT_EQ(capture.height, 640);

    // Grid frame (grey) around the view area above the 75-point bar, crosshair in the middle.
    // The heat map fills the lower part of the plot, so the frame and crosshair are checked
    // above the demonstration's strongest signals.
    auto grey = [](Capture::Px p) { return p.r == p.g && p.g == p.b && p.r >= 120 && p.r <= 136; };
    EXPECT_TRUE(grey(capture.at(2, 560)));
    EXPECT_TRUE(grey(capture.at(957, 560)));
    EXPECT_TRUE(grey(capture.at(600, 637)));
    EXPECT_TRUE(grey(capture.at(480, 600)));
    // The spectrum itself: the demonstration's Wi-Fi fills the heat map's lower rows in colour.
    int heat = 0;
    for (int x = 20; x < 940; x += 4) {
        const Capture::Px p = capture.at(x, 90);
        heat += !(p.r == p.g && p.g == p.b);
    }
    EXPECT_GT(heat, 150);
    // The menu bar rests flown out at the right: its fly button's blue-grey panel.
    const Capture::Px fly = capture.at(925, 10);
    EXPECT_TRUE(fly.r >= 20 && fly.r < fly.g && fly.g < fly.b && fly.b <= 50)
        << fly.r << " " << fly.g << " " << fly.b;
    // Status labels: white text in the strip below the grid.
    int text = 0;
    for (int y = 0; y < 73; ++y)
        for (int x = 0; x < 900; ++x)
            text += capture.at(x, y).r > 200 && capture.at(x, y).b > 200;
    EXPECT_GT(text, 100);
    // The faint demonstration badge around the centre.
    int badge = 0;
    for (int y = 270; y < 370; ++y)
        for (int x = 300; x < 660; ++x) {
            const Capture::Px p = capture.at(x, y);
            badge += p.r == p.g && p.g == p.b && p.r >= 55 && p.r <= 100;
        }
    EXPECT_GT(badge, 500);

    kill(tarno, SIGTERM);
    EXPECT_EQ(waitExit(tarno, std::chrono::seconds(30)), 0);
    // Configuration slot 0 was saved on the way out, into the scratch data directory.
    EXPECT_EQ(storedRefreshInterval(dataHome()), kLoadedRefreshInterval);
    // Nothing is printed per frame.
    const std::vector<uint8_t> output = readFile((dir_ / "tarno.out").string());
    EXPECT_LT(std::count(output.begin(), output.end(), '\n'), 20)
        << std::string(output.begin(), output.end());
}

// Runs tarno with DISPLAY and WAYLAND_DISPLAY as given (nullptr: unset) and checks that it
// renders the demonstration off screen into a PNG and says where.
void expectOffScreenPicture(const std::filesystem::path& dir, const std::string& name,
                            const char* display, const char* waylandDisplay) {
    const std::string data = (dir / name).string();
    std::filesystem::create_directories(data);
    const std::string output = (dir / (name + ".out")).string();
    pid_t tarno = fork();
    if (tarno == 0) {
        for (auto [variable, value] :
             {std::pair{"DISPLAY", display}, std::pair{"WAYLAND_DISPLAY", waylandDisplay}}) {
            if (value)
                setenv(variable, value, 1);
            else
                unsetenv(variable);
        }
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        execl(TARNO_BINARY, TARNO_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    const int code = waitExit(tarno, std::chrono::seconds(120));
    if (code == -1) {
        kill(tarno, SIGKILL);
        waitpid(tarno, nullptr, 0);
    }
    const std::vector<uint8_t> printed = readFile(output);
    const std::string text(printed.begin(), printed.end());
    EXPECT_EQ(code, 0) << text;
    const std::filesystem::path picture = std::filesystem::path(data) / "Tarno" / "Tarno_demo.png";
    ASSERT_TRUE(std::filesystem::exists(picture)) << text;
    const std::vector<uint8_t> png = readFile(picture.string());
    ASSERT_GT(png.size(), 1000u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_NE(text.find(picture.string()), std::string::npos) << text;
}

TEST_F(TarnoLaunchTest, WithoutADisplayItWritesAPictureOfTheDemonstration) {
    expectOffScreenPicture(dir_, "headless", nullptr, nullptr);
}

// An empty name is no display, as if the variable were not set.
TEST_F(TarnoLaunchTest, AnEmptyDisplayNameCountsAsNoDisplay) {
    expectOffScreenPicture(dir_, "empty_display", "", nullptr);
    expectOffScreenPicture(dir_, "empty_wayland_display", nullptr, "");
}

TEST_F(TarnoLaunchTest, ClosingTheWindowEndsItCleanlyAndSavesTheConfiguration) {
    seedSlot0(dataHome());
    pid_t tarno = launch();
    Capture capture;
    ASSERT_TRUE(waitForWindow(tarno, capture));
    ASSERT_TRUE(requestClose(display_, "Tarno"));
    EXPECT_EQ(waitExit(tarno, std::chrono::seconds(30)), 0);
    EXPECT_EQ(storedRefreshInterval(dataHome()), kLoadedRefreshInterval);
}

TEST_F(TarnoLaunchTest, ADisplayThatCannotBeReachedIsReportedInsteadOfRunningWithoutAWindow) {
    int free = 150;
    while (std::filesystem::exists("/tmp/.X" + std::to_string(free) + "-lock") ||
           std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(free)))
        ++free;
    const std::string display = ":" + std::to_string(free);
    const std::string data = (dir_ / "unreachable").string();
    std::filesystem::create_directories(data);
    pid_t tarno = spawn({TARNO_BINARY}, {"DISPLAY=" + display, "XDG_DATA_HOME=" + data},
                        (dir_ / "unreachable.out").string());
    launched_.push_back(tarno);
    const int code = waitExit(tarno, std::chrono::seconds(60));
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -1) << "tarno kept running without a window";
    const std::vector<uint8_t> output = readFile((dir_ / "unreachable.out").string());
    EXPECT_NE(std::string(output.begin(), output.end())
                  .find("cannot open a window on the display \"" + display + "\""),
              std::string::npos)
        << std::string(output.begin(), output.end());
}

TEST_F(TarnoLaunchTest, CtrlCEndsItCleanlyAndSavesTheConfiguration) {
    seedSlot0(dataHome());
    pid_t tarno = launch();
    Capture capture;
    ASSERT_TRUE(waitForWindow(tarno, capture));
    kill(tarno, SIGINT);
    EXPECT_EQ(waitExit(tarno, std::chrono::seconds(30)), 0);
    EXPECT_EQ(storedRefreshInterval(dataHome()), kLoadedRefreshInterval);
}

}  // namespace
