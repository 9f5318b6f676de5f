#include "app/ResourceCheck.h"

#include "link/DemoPlayback.h"

namespace {

constexpr int kGenerations = 3;
constexpr int kSignals = 4;
// Recordings named in the on-screen line; the rest are counted.
constexpr size_t kNamesShown = 3;

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

std::string listed(const std::vector<std::string>& names, size_t shown) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < shown; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > shown)
        text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

std::vector<std::string> recordingNames() {
    std::vector<std::string> names;
    for (int hardware = 0; hardware < kGenerations; ++hardware) {
        const std::string prefix = DemoPlayback::prefix(hardware);
        names.push_back(prefix + "discover.bin");
        names.push_back(prefix + "settings.bin");
        for (int signal = 0; signal < kSignals; ++signal) {
            const std::string file = DemoPlayback::signalFile(signal);
            if (DemoPlayback::spectrumPacketBytes(hardware, 0) > 0)
                names.push_back(prefix + "spectrum" + file);
            if (DemoPlayback::spectrumPacketBytes(hardware, 1) > 0)
                names.push_back(prefix + "spectrum5GHz" + file);
            if (DemoPlayback::powerPacketBytes(hardware) > 0)
                names.push_back(prefix + "power" + file);
        }
        // The first generation has no access-point scanner.
        if (hardware > 0)
            names.push_back(prefix + "ssid.bin");
    }
    return names;
}

}  // namespace

ResourceCheck::ResourceCheck(std::string root) : root_(withSlash(root)), reader_(root_) {}

std::vector<std::string> ResourceCheck::missing(const std::vector<std::string>& names) const {
    std::vector<std::string> out;
    for (const std::string& name : names) {
        if (reader_.fullPath(name).empty())
            out.push_back(name);
    }
    return out;
}

std::vector<std::string> ResourceCheck::missingForDrawing() const {
    return missing({"fonts/roboto/Roboto-Regular.ttf", "fonts/roboto/Roboto-Bold.ttf",
                    "shaders/WaterfallShader.vsh", "shaders/WaterfallShader.fsh"});
}

std::vector<std::string> ResourceCheck::missingRecordings() const {
    return missing(recordingNames());
}

std::string ResourceCheck::searchedFolders() const {
    std::string text;
    for (const std::string& folder : FileResourceReader::searchPaths())
        text += (text.empty() ? "" : ", ") + withSlash(root_ + folder);
    return text;
}

std::string ResourceCheck::drawingMessage(const std::vector<std::string>& missing) const {
    if (missing.empty())
        return "";
    return "Tarno: cannot draw the window without " + listed(missing, missing.size()) +
           " (looked in " + searchedFolders() +
           "). Reinstall Tarno, or build the tarno_resources target.";
}

std::vector<std::string> ResourceCheck::recordingsReport(
    const std::vector<std::string>& missing) const {
    if (missing.empty())
        return {};
    const size_t all = recordingNames().size();
    const std::string what = missing.size() == all
                                 ? std::string("The demonstration recordings are missing")
                                 : std::to_string(missing.size()) + " of " + std::to_string(all) +
                                       " demonstration recordings are missing";
    return {what + ": " + listed(missing, kNamesShown),
            "Looked in " + searchedFolders() + "; without an accessory they show nothing."};
}
