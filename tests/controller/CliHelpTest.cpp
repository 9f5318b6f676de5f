// Every tarno-cli command answers --help, -h and `help COMMAND` with its usage on stdout and
// success, without doing its work; the commands are taken from tarno-cli's own list.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Result {
    std::string out;  // stdout only
    int status = -1;
};

// A folder of its own for the runs, removed when the tests end.
struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char pattern[] = "/tmp/tarno-cli-help-XXXXXX";
        const char* dir = mkdtemp(pattern);
        path = dir ? dir : "";
    }
    ~ScratchFolder() {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

// Runs in the scratch folder and is killed after 20 s: a command that took --help for an
// argument could create files or wait for an accessory.
Result run(const std::string& arguments) {
    static const ScratchFolder scratch;
    Result result;
    const std::string command = "cd " + scratch.path + " && timeout -s KILL 20 " +
                                std::string(TARNO_CLI_PATH) + " " + arguments;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe)) {
        result.out += chunk;
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The names under "Commands:" in `tarno-cli --help`.
std::vector<std::string> listedCommands() {
    std::istringstream help(run("--help").out);
    std::vector<std::string> names;
    bool inList = false;
    for (std::string line; std::getline(help, line);) {
        if (line == "Commands:") {
            inList = true;
        } else if (inList && line.empty()) {
            break;  // the options follow
        } else if (inList && line.rfind("  ", 0) == 0) {
            std::istringstream words(line);
            std::string name;
            words >> name;
            names.push_back(name);
        }
    }
    return names;
}

TEST(CliHelp, EveryCommandPrintsItsUsageAndSucceeds) {
    const std::vector<std::string> commands = listedCommands();
    for (const char* expected : {"config", "decode", "devices", "log", "record", "version"}) {
        EXPECT_NE(std::find(commands.begin(), commands.end(), expected), commands.end())
            << expected;
    }
    for (const std::string& command : commands) {
        const std::string usage = "Usage: tarno-cli " + command;
        for (const std::string& asked :
             {command + " --help", command + " -h", "help " + command,
              // Also after other arguments: nothing runs, nothing is refused.
              command + " --out /nonexistent --help"}) {
            SCOPED_TRACE(asked);
            const Result result = run(asked + " 2>/dev/null");
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(result.out.rfind(usage, 0), 0u) << result.out;
        }
    }
}

TEST(CliHelp, BadArgumentsStillFailWithTheUsageOnStderr) {
    Result result = run("log --bogus 2>&1");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("tarno-cli log: unknown option '--bogus'"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Usage: tarno-cli log --out DIR"), std::string::npos);
    // Nothing on stdout for a refused command line.
    EXPECT_EQ(run("log --bogus 2>/dev/null").out, "");
    result = run("help nosuchcommand 2>&1");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("unknown command 'nosuchcommand'"), std::string::npos);
}

// One parser serves every command: the same refusals, the same forms of options and operands.
TEST(CliArguments, EveryCommandParsesAlike) {
    for (const std::string command : {"config show", "decode", "devices", "log", "measure",
                                      "measure --live", "record", "survey", "sweep", "version"}) {
        SCOPED_TRACE(command);
        const std::string name = command.substr(0, command.find(' '));
        Result result = run(command + " --frobnicate 2>&1 >/dev/null");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out.rfind("tarno-cli " + name + ": unknown option '--frobnicate'\n", 0),
                  0u)
            << result.out;
        EXPECT_NE(result.out.find("Usage: tarno-cli " + name), std::string::npos);
    }
    Result result = run("log --count 2>&1");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("option '--count' needs a value"), std::string::npos) << result.out;
    const std::pair<const char*, const char*> refusals[] = {
        {"survey --seconds 0", "bad value '0' for --seconds"},
        {"log --out - --power=1", "option '--power' takes no value"},
        {"survey --s 3", "ambiguous option '--s'"},
        {"decode -x file", "unknown option '-x'"},
        // The options every acquiring command shares: the same words from each of them.
        {"sweep --format xml", "tarno-cli sweep: bad value 'xml' for --format"},
        {"sweep --demo 1 --trace live", "tarno-cli sweep: --trace needs --format json or --mqtt"},
        {"sweep --simulated-time", "tarno-cli sweep: --simulated-time needs --demo"},
        {"log --out - --simulated-time", "tarno-cli log: --simulated-time needs --demo"},
        {"survey --simulated-time", "tarno-cli survey: --simulated-time needs --demo"},
        {"measure --live --simulated-time", "tarno-cli measure: --simulated-time needs --demo"},
        {"measure --live --demo 3", "tarno-cli measure: bad value '3' for --demo"},
        {"survey --mqtt", "tarno-cli survey: option '--mqtt' needs a value"},
        {"log --out - --mqtt http://127.0.0.1",
         "tarno-cli log: the broker URL must start with mqtt://"},
        {"sweep extra", "tarno-cli sweep: unexpected argument 'extra'"},
    };
    for (const auto& [line, why] : refusals) {
        result = run(std::string(line) + " 2>&1");
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_NE(result.out.find(why), std::string::npos) << result.out;
    }

    // "--name=VALUE", the short alias and operands before or after the options all reach the
    // command, which then finds no file (status 1, not the parser's 2).
    for (const char* line : {"decode --generation=6 missing.bin", "decode missing.bin -g 6",
                             "decode --generation 7 missing.bin"}) {
        SCOPED_TRACE(line);
        result = run(std::string(line) + " 2>&1");
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.out.find("cannot read missing.bin"), std::string::npos) << result.out;
    }
    // "--" ends the options: what follows is a file name even when it starts with a dash.
    result = run("measure -- --dt 2>&1");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("cannot read --dt"), std::string::npos) << result.out;
}

}  // namespace
