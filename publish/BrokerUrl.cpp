#include "publish/BrokerUrl.h"

#include <cctype>
#include <string_view>

namespace {

bool decodePercent(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            return false;
        }
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return true;
}

bool validPrefix(std::string_view prefix) {
    if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/' ||
        prefix.find("//") != std::string_view::npos) {
        return false;
    }
    for (unsigned char c : prefix) {
        // Wildcards and control bytes have no place in a topic we publish to.
        if (c == '+' || c == '#' || c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool BrokerUrl::parse(const std::string& text, BrokerUrl& out, std::string& error) {
    constexpr std::string_view kScheme = "mqtt://";
    std::string_view rest = text;
    if (rest.substr(0, kScheme.size()) != kScheme) {
        error = "the broker URL must start with mqtt://";
        return false;
    }
    rest.remove_prefix(kScheme.size());
    BrokerUrl url;

    const size_t query = rest.find('?');
    std::string_view parameters;
    if (query != std::string_view::npos) {
        parameters = rest.substr(query + 1);
        rest = rest.substr(0, query);
    }
    const size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    if (slash != std::string_view::npos) {
        const std::string_view prefix = rest.substr(slash + 1);
        if (!validPrefix(prefix)) {
            error = "the topic prefix must be topic levels without + or #";
            return false;
        }
        url.prefix = std::string(prefix);
    }

    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view credentials = authority.substr(0, at);
        authority.remove_prefix(at + 1);
        const size_t colon = credentials.find(':');
        if (!decodePercent(credentials.substr(0, colon), url.user) ||
            (colon != std::string_view::npos &&
             !decodePercent(credentials.substr(colon + 1), url.password)) ||
            url.user.empty()) {
            error = "bad user name or password in the broker URL";
            return false;
        }
        url.hasCredentials = true;
    }

    bool hasPort = false;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            error = "unclosed [ in the broker host";
            return false;
        }
        url.host = std::string(authority.substr(1, close - 1));
        authority.remove_prefix(close + 1);
        if (!authority.empty() && authority.front() != ':') {
            error = "text after the broker host";
            return false;
        }
        hasPort = !authority.empty();
        port = hasPort ? authority.substr(1) : std::string_view();
    } else {
        const size_t colon = authority.find(':');
        url.host = std::string(authority.substr(0, colon));
        hasPort = colon != std::string_view::npos;
        port = hasPort ? authority.substr(colon + 1) : std::string_view();
    }
    if (url.host.empty()) {
        error = "the broker URL has no host";
        return false;
    }
    if (hasPort) {
        long value = port.empty() || port.size() > 5 ? -1 : 0;
        for (char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                value = -1;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (value < 1 || value > 65535) {
            error = "the broker port must be 1 to 65535";
            return false;
        }
        url.port = static_cast<int>(value);
    }

    if (query != std::string_view::npos) {
        // Every piece between the ampersands must be an option: a stray one is a typing error.
        while (true) {
            const size_t amp = parameters.find('&');
            const std::string_view pair = parameters.substr(0, amp);
            if (pair == "retain=0" || pair == "retain=1") {
                url.retain = pair.back() == '1';
            } else if (pair == "qos=0" || pair == "qos=1" || pair == "qos=2") {
                url.qos = pair.back() - '0';
            } else {
                error =
                    "unknown broker URL option '" + std::string(pair) + "' (retain=0|1, qos=0|1|2)";
                return false;
            }
            if (amp == std::string_view::npos) {
                break;
            }
            parameters.remove_prefix(amp + 1);
        }
    }
    out = std::move(url);
    return true;
}

std::string BrokerUrl::display() const {
    std::string text = "mqtt://";
    if (hasCredentials) {
        text += user + "@";
    }
    text += host.find(':') != std::string::npos ? "[" + host + "]" : host;
    text += ":" + std::to_string(port) + "/" + prefix;
    return text;
}
