#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/BramelAccessoryDevice.h"
#include "link/UsbBackend.h"

// The USB transport: finds the accessory, opens it, writes queued command packets to the bulk
// OUT endpoint and hands whatever arrives on the bulk IN endpoint to its owner, all on one I/O
// thread. It knows nothing of packet contents; the owner binds six handlers, all of which run on
// the I/O thread. Set the handlers before start() (or while stopped): they are not guarded.
class AccessoryCommunication {
  public:
    using ShouldConnectHandler =
        std::function<bool(AccessoryCommunication* link, BramelAccessoryDevice* device)>;
    using DidConnectHandler =
        std::function<void(AccessoryCommunication* link, BramelAccessoryDevice* device)>;
    // didFailToConnect gets the open result (-1); didDisconnect gets 0.
    using DeviceCodeHandler =
        std::function<void(AccessoryCommunication* link, BramelAccessoryDevice* device, int code)>;
    // `bytes` is the I/O thread's read buffer: valid only during the call.
    using DidReceiveDataHandler =
        std::function<void(AccessoryCommunication* link, BramelAccessoryDevice* device,
                           const uint8_t* bytes, int length)>;
    // `status` is 0 when every byte of the packet was written, else -1.
    using DidSendDataHandler = std::function<void(
        AccessoryCommunication* link, BramelAccessoryDevice* device, int kind, int status)>;

    static constexpr int kReadCapacity = 2048;
    static constexpr unsigned int kReadTimeoutMs = 100;
    static constexpr unsigned int kWriteTimeoutMs = 1000;

    // On the process-wide libusb backend, printing to standard output.
    AccessoryCommunication();
    explicit AccessoryCommunication(UsbBackend& backend, std::FILE* console = stdout);
    // Stops the I/O thread (see stop()); packets still queued are dropped.
    ~AccessoryCommunication();

    AccessoryCommunication(const AccessoryCommunication&) = delete;
    AccessoryCommunication& operator=(const AccessoryCommunication&) = delete;

    void setConnectionHandlers(ShouldConnectHandler shouldConnect, DidConnectHandler didConnect,
                               DeviceCodeHandler didFailToConnect, DeviceCodeHandler didDisconnect);
    void setDataHandlers(DidReceiveDataHandler didReceiveData, DidSendDataHandler didSendData);

    // Starts the I/O thread unless it runs. A failed thread creation leaves the link inactive.
    void start();
    // Orderly stop: asks the I/O thread to end and joins it; the thread reports a connected
    // device through didDisconnect and closes it. Without a thread (a link stepped by hand) the
    // connected device is dropped the same way. Called from a handler it only asks.
    void stop();
    bool isRunning() const { return running_; }

    // Queues `packet` for the accessory; `kind` comes back in didSendData. The link owns the
    // bytes from here on. An empty packet (or one longer than a transfer can say) returns false
    // and queues nothing. Any thread.
    bool send(std::vector<uint8_t> packet, int kind);

    // While set, no device is looked for and a connected device is dropped.
    void setSuspended(bool suspended) { suspended_ = suspended; }
    // Pause between two listings of the bus while nothing is connected (100 ms by default).
    // Set before start(); tests that plug and unplug in a tight loop shorten it.
    void setSearchInterval(std::chrono::milliseconds interval) { searchInterval_ = interval; }
    bool isSuspended() const { return suspended_; }

    // True while a device is current (written by the I/O thread).
    bool isConnected() const { return connected_; }
    size_t queuedPackets();

    // One pass of the I/O loop without its trailing 1 ms sleep: search when nothing is
    // connected, else write at most one queued packet and read once. The I/O thread repeats it;
    // tests call it directly to step the link without a thread (never both at once).
    void runPass();

  private:
    struct OutgoingPacket {
        std::vector<uint8_t> bytes;
        int kind = 0;
    };

    void threadMain();
    void search();
    void writeOnePacket();
    void readOnce();
    void dropDevice();
    std::unique_lock<std::mutex> lockQueue();

    UsbBackend& backend_;
    std::FILE* console_;

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    // Wakes the pause between passes when the link stops.
    // Listing the bus every millisecond while nothing is plugged in costs a few percent of a
    // core all day; a tenth of a second still finds a new accessory before anyone notices.
    std::chrono::milliseconds searchInterval_{100};
    std::mutex pauseLock_;
    std::condition_variable pauseWake_;
    std::atomic<bool> suspended_{false};
    std::atomic<bool> connected_{false};

    // I/O thread only.
    std::unique_ptr<BramelAccessoryDevice> current_;
    std::vector<uint64_t> printedDevices_;

    ShouldConnectHandler shouldConnect_;
    DidConnectHandler didConnect_;
    DeviceCodeHandler didFailToConnect_;
    DeviceCodeHandler didDisconnect_;
    DidReceiveDataHandler didReceiveData_;
    DidSendDataHandler didSendData_;

    std::mutex queueLock_;
    std::deque<OutgoingPacket> queue_;
};
