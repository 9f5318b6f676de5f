#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "protocol/PacketFramer.h"

// Writes what an accessory sends into demonstration recordings: the discovery reply, the first
// settings acknowledgement, and every whole sweep, power packet and non-empty access-point list,
// each into the file the playback looks up ("packets/TarnoDuo/TarnoDuo_spectrum5GHzWifi.bin"
// below `directory`). Packets the playback could not step through (empty sweeps, announcements of
// a scan) are left out.
class SessionRecorder {
  public:
    // `signalFile` names the signal in the air: "None.bin", "Wifi.bin", "Dect.bin" or "Dsss.bin".
    SessionRecorder(std::string directory, std::string signalFile);
    ~SessionRecorder();

    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    // The accessory's bytes, in the order they arrived.
    void deliver(const uint8_t* bytes, size_t length);

    // Bytes written per file (path below the directory).
    const std::map<std::string, size_t>& written() const { return written_; }
    // A file could not be created (its name is taken: recordings never replace files) or
    // written; failure() says which and why, for the first one.
    bool failed() const { return failed_; }
    const std::string& failure() const { return failure_; }
    // Closes every file.
    void finish();

  private:
    void handle(const uint8_t* bytes, size_t length, int type);
    void append(const std::string& name, const uint8_t* bytes, size_t length);
    void fail(const std::string& reason);

    std::string directory_;
    std::string signalFile_;
    PacketFramer framer_;
    int hardware_ = -1;
    bool settingsKept_ = false;
    bool failed_ = false;
    std::string failure_;
    std::map<std::string, std::FILE*> files_;
    std::map<std::string, size_t> written_;
};
