#pragma once

#include <string>

// Where and how to publish: mqtt://[user:pass@]host[:port][/topic-prefix][?retain=1&qos=1].
struct BrokerUrl {
    static constexpr int kDefaultPort = 1883;
    static constexpr const char* kDefaultPrefix = "tarno";

    std::string user;
    std::string password;
    bool hasCredentials = false;
    std::string host;
    int port = kDefaultPort;
    std::string prefix = kDefaultPrefix;  // one or more topic levels, no wildcards
    bool retain = false;
    int qos = 0;

    // False, with the reason in `error`, for anything that is not such a URL. User and password
    // may be percent-encoded; an IPv6 host is written in brackets.
    static bool parse(const std::string& text, BrokerUrl& out, std::string& error);

    // The URL without the password, for messages.
    std::string display() const;
};
