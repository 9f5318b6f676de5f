// SPDX-License-Identifier: MIT
#include "tools/tarno-cli/CliOptionParser.h"

#include <getopt.h>

#include <cstdio>
#include <string_view>

#include "tools/tarno-cli/CliArguments.h"

namespace {

// getopt_long's return value for the option at this index of the table.
constexpr int kFirstCode = 256;

}  // namespace

CliOptionParser::CliOptionParser(const char* command, const char* usage)
    : command_(command), usage_(usage) {}

CliOptionParser& CliOptionParser::flag(const char* name, bool& out) {
    options_.push_back({name, 0, false, [&out](const char*) {
                            out = true;
                            return true;
                        }});
    return *this;
}

CliOptionParser& CliOptionParser::value(const char* name, char shortName, Accept accept) {
    options_.push_back({name, shortName, true, std::move(accept)});
    return *this;
}

CliOptionParser& CliOptionParser::text(const char* name, std::string& out) {
    return value(name, 0, [&out](const char* v) {
        out = v;
        return !out.empty();
    });
}

CliOptionParser& CliOptionParser::number(const char* name, long low, long high, long& out,
                                         bool* given) {
    return value(name, 0, [low, high, &out, given](const char* v) {
        if (!parseNumber(v, low, high, out)) {
            return false;
        }
        if (given != nullptr) {
            *given = true;
        }
        return true;
    });
}

bool CliOptionParser::parse(std::span<char* const> args, std::vector<std::string>& operands) const {
    std::vector<option> table;
    // ':' first: a missing value is told apart from an unknown option.
    std::string shortOptions = ":";
    for (size_t i = 0; i < options_.size(); ++i) {
        const Option& o = options_[i];
        table.push_back({o.name.c_str(), o.takesValue ? required_argument : no_argument, nullptr,
                         kFirstCode + static_cast<int>(i)});
        if (o.shortName != 0) {
            shortOptions += o.shortName;
            shortOptions += o.takesValue ? ":" : "";
        }
    }
    table.push_back({nullptr, 0, nullptr, 0});

    // getopt_long reorders its vector and keeps state between calls: give it a copy and a
    // fresh start (optind 0 re-initialises glibc's parser).
    std::vector<char*> argv{const_cast<char*>(command_)};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;
    opterr = 0;
    optind = 0;
    for (;;) {
        const int code =
            getopt_long(argc, argv.data(), shortOptions.c_str(), table.data(), nullptr);
        if (code == -1) {
            break;
        }
        const char* written = argv[optind - 1];
        if (code == '?') {
            refuse(unknownOption(written));
            return false;
        }
        if (code == ':') {
            refuse(std::string("option '") + written + "' needs a value");
            return false;
        }
        const Option* o = nullptr;
        if (code >= kFirstCode) {
            o = &options_[static_cast<size_t>(code - kFirstCode)];
        } else {
            for (const Option& candidate : options_) {
                if (candidate.shortName == code) {
                    o = &candidate;
                }
            }
        }
        if (o == nullptr || !o->accept(optarg)) {
            refuse("bad value '" + std::string(optarg ? optarg : "") + "' for --" +
                   (o ? o->name : std::string("?")));
            return false;
        }
    }
    operands.assign(argv.begin() + optind, argv.begin() + argc);
    return true;
}

// getopt_long answered '?' for `written`: a flag given a value, an unknown short option, or a
// long option that is unknown or abbreviated ambiguously.
std::string CliOptionParser::unknownOption(const char* written) const {
    if (optopt >= kFirstCode) {
        return "option '--" + options_[static_cast<size_t>(optopt - kFirstCode)].name +
               "' takes no value";
    }
    if (optopt != 0) {
        return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
    }
    std::string_view name = written;
    name = name.substr(0, name.find('='));
    int matches = 0;
    for (const Option& o : options_) {
        matches += name.size() > 2 && ("--" + o.name).rfind(name, 0) == 0 ? 1 : 0;
    }
    return (matches > 1 ? "ambiguous option '" : "unknown option '") + std::string(name) + "'";
}

int CliOptionParser::refuse(const std::string& why) const {
    std::fprintf(stderr, "tarno-cli %s: %s\n", command_, why.c_str());
    std::fputs(usage_, stderr);
    return 2;
}
