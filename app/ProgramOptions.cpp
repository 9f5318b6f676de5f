// SPDX-License-Identifier: MIT
#include "app/ProgramOptions.h"

#include <string_view>

#include "TarnoVersion.h"

ProgramOptions ProgramOptions::parse(int argc, const char* const* argv) {
    ProgramOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.action = Action::ShowHelp;
            return options;
        }
        if (arg == "-V" || arg == "--version") {
            options.action = Action::ShowVersion;
            return options;
        }
        if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--redraw-every-frame") {
            options.redrawEveryFrame = true;
        } else if (arg == "--whole-frames") {
            options.wholeFrames = true;
        } else if (arg == "--broker") {
            if (i + 1 >= argc) {
                options.action = Action::Fail;
                options.error = "option '--broker' needs an mqtt:// URL";
                return options;
            }
            options.brokerUrl = argv[++i];
        } else if (arg == "--open-table") {
            const std::string_view table = i + 1 < argc ? argv[i + 1] : "";
            if (table != "ssid" && table != "utilization") {
                options.action = Action::Fail;
                options.error = "option '--open-table' needs 'ssid' or 'utilization'";
                return options;
            }
            options.openTable = argv[++i];
        } else {
            options.action = Action::Fail;
            options.error = arg.size() > 1 && arg[0] == '-'
                                ? "unknown option '" + std::string(arg) + "'"
                                : "unexpected argument '" + std::string(arg) + "'";
            return options;
        }
    }
    return options;
}

std::string ProgramOptions::helpText() {
    return "Usage: tarno [OPTION]...\n"
           "Spectrum analyser, RF power meter and Wi-Fi scanner for the Tarno USB radio\n"
           "accessory. Without an accessory it plays back recorded packets (the\n"
           "demonstration). Without a display it renders the demonstration off screen and\n"
           "writes the picture to Tarno_demo.png in the data directory.\n"
           "\n"
           "Options:\n"
           "      --stats               print frame counts and frame CPU time (also per view)\n"
           "                            on exit\n"
           "      --redraw-every-frame  draw every frame, even when nothing changed\n"
           "      --whole-frames        draw the whole window in every drawn frame, not only\n"
           "                            what changed\n"
           "      --open-table TABLE    start with the access-point table TABLE open\n"
           "                            (ssid or utilization)\n"
           "      --broker URL          where the PUBLISH setting sends its messages\n"
           "                            (mqtt://[user:pass@]host[:port][/prefix])\n"
           "  -h, --help                display this help and exit\n"
           "  -V, --version             output version information and exit\n"
           "\n"
           "Files:\n"
           "  ~/.local/share/Tarno/     the stored configurations, data logs and screenshots\n"
           "                            ($XDG_DATA_HOME/Tarno/ when that is set)\n"
           "\n"
           "Environment:\n"
           "  DISPLAY, WAYLAND_DISPLAY  the display to open the window on; with neither set\n"
           "                            the demonstration is rendered off screen\n"
           "  SDL_VIDEODRIVER           the SDL video driver to use instead of x11/wayland\n"
           "\n"
           "Exit status: 0 on success, 1 when the window cannot be opened or the picture\n"
           "cannot be written, 2 for a wrong command line.\n";
}

std::string ProgramOptions::versionText() {
    return "tarno " TARNO_VERSION
           "\n"
           "Copyright 2026 The Tarno developers.\n"
           "License: MIT <https://opensource.org/licenses/MIT>.\n";
}
