#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/StoredSettings.h"

class ResourceReader;

// The recorded packet files of the demonstration and the pace at which they are played: four
// buffers (power, access-point lists, 2.4 GHz and 5 GHz spectrum), each loaded on first use (and
// again when the choice names another file) and stepped cyclically packet by packet. Runs on the
// controller's worker thread only; the bytes go to the controller's packet path through `Deliver`,
// exactly as bytes from the USB link would.
class DemoPlayback {
  public:
    using Deliver = std::function<void(const uint8_t* bytes, size_t length)>;
    // Length of the packet at the start of the bytes, as the active protocol frames it.
    using PacketLength = std::function<int(const uint8_t* bytes, size_t available)>;

    explicit DemoPlayback(const ResourceReader* resources);

    // "packets/<folder>/<prefix>" of a demonstration hardware choice; empty when none is played.
    static std::string prefix(int hardware);
    // "None.bin", "Wifi.bin", "Dect.bin", "Dsss.bin" by signal type, else empty.
    static std::string signalFile(int signalType);
    // Bytes per recorded packet; 0 when the hardware does not play that measurement.
    static size_t powerPacketBytes(int hardware);
    static size_t spectrumPacketBytes(int hardware, int band);

    // Delivers a whole file (discovery reply, settings acknowledgement). False when the file is
    // missing or empty.
    bool playFile(const std::string& name, const Deliver& deliver) const;

    // The next power packet unless the last one is less than `intervalMs` ago.
    void playPower(const DemoSelection& demo, uint64_t now, uint64_t intervalMs,
                   const Deliver& deliver);
    // The next sweep packet of `band` (0 2.4 GHz, 1 5 GHz) unless the last spectrum packet is
    // less than `periodMs` ago.
    void playSpectrum(const DemoSelection& demo, int band, uint64_t now, uint64_t periodMs,
                      const Deliver& deliver);
    // The next access-point list once `firstDelayMs` has passed since the first call and
    // `repeatMs` since the last list. Negative or NaN delays never play.
    void playAccessPoints(const DemoSelection& demo, uint64_t now, double firstDelayMs,
                          double repeatMs, const PacketLength& packetLength,
                          const Deliver& deliver);

    // Forgets every time stamp after a settings acknowledgement. The buffers keep their place:
    // a single shot or a reconfiguration continues the recording where it was, as the air
    // would, instead of replaying its first capture; a buffer whose file the choice no longer
    // names is loaded afresh when next played.
    void reset();

    // Read offsets, for tests and diagnostics.
    size_t powerOffset() const { return power_.offset; }
    size_t spectrumOffset(int band) const {
        return band == 1 ? spectrum5_.offset : spectrum24_.offset;
    }
    size_t accessPointOffset() const { return accessPoints_.offset; }

  private:
    struct Buffer {
        std::string name;  // the file the bytes came from
        std::vector<uint8_t> bytes;
        size_t offset = 0;
    };
    struct Stamp {
        bool set = false;
        uint64_t ms = 0;

        bool lessThanAgo(uint64_t now, uint64_t intervalMs) const {
            return set && now >= ms && now - ms < intervalMs;
        }
        void mark(uint64_t now) {
            set = true;
            ms = now;
        }
        // The next packet is due one interval after this one was, not after the pass that
        // played it: 250 ms sweeps played on 100 ms passes then average 250 ms, as the
        // accessory's do and as the waterfall's time scale says, instead of 300 ms. After a
        // pause (more than two intervals late) the pace starts again from now.
        void advance(uint64_t now, uint64_t intervalMs) {
            if (!set || now < ms || now - ms >= 2 * intervalMs) {
                mark(now);
            } else {
                ms += intervalMs;
            }
        }
    };

    void load(Buffer& buffer, const std::string& name) const;
    // Delivers the next `packetBytes` of the buffer, wrapping to its start when they do not fit.
    static void step(Buffer& buffer, size_t packetBytes, const Deliver& deliver);

    const ResourceReader* resources_;
    Buffer power_;
    Buffer accessPoints_;
    Buffer spectrum24_;
    Buffer spectrum5_;
    Stamp lastPower_;
    Stamp lastSpectrum_;
    Stamp firstAccessPointCheck_;
    Stamp lastAccessPointList_;
};
