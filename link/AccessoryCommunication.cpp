#include "link/AccessoryCommunication.h"

#include <chrono>
#include <climits>
#include <system_error>

#include "link/LibusbBackend.h"

namespace {

// The queue lock is taken by polling so that no thread ever blocks inside the lock for long.
constexpr auto kLockRetryDelay = std::chrono::microseconds(100);
constexpr auto kPassDelay = std::chrono::milliseconds(1);

}  // namespace

AccessoryCommunication::AccessoryCommunication()
    : AccessoryCommunication(LibusbBackend::shared(), stdout) {}

AccessoryCommunication::AccessoryCommunication(UsbBackend& backend, std::FILE* console)
    : backend_(backend), console_(console) {}

AccessoryCommunication::~AccessoryCommunication() {
    stop();
}

void AccessoryCommunication::setConnectionHandlers(ShouldConnectHandler shouldConnect,
                                                   DidConnectHandler didConnect,
                                                   DeviceCodeHandler didFailToConnect,
                                                   DeviceCodeHandler didDisconnect) {
    shouldConnect_ = std::move(shouldConnect);
    didConnect_ = std::move(didConnect);
    didFailToConnect_ = std::move(didFailToConnect);
    didDisconnect_ = std::move(didDisconnect);
}

void AccessoryCommunication::setDataHandlers(DidReceiveDataHandler didReceiveData,
                                             DidSendDataHandler didSendData) {
    didReceiveData_ = std::move(didReceiveData);
    didSendData_ = std::move(didSendData);
}

void AccessoryCommunication::start() {
    if (running_) {
        return;
    }
    if (thread_.joinable()) {
        // A thread that ended after a stop() asked from one of its own handlers.
        thread_.join();
    }
    stopRequested_ = false;
    running_ = true;
    try {
        thread_ = std::thread(&AccessoryCommunication::threadMain, this);
    } catch (const std::system_error&) {
        running_ = false;
    }
}

void AccessoryCommunication::stop() {
    {
        std::lock_guard<std::mutex> guard(pauseLock_);
        stopRequested_ = true;
    }
    pauseWake_.notify_all();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            return;
        }
        thread_.join();
        return;
    }
    dropDevice();
}

void AccessoryCommunication::threadMain() {
    while (!stopRequested_) {
        runPass();
        std::unique_lock<std::mutex> lock(pauseLock_);
        pauseWake_.wait_for(lock, current_ ? kPassDelay : searchInterval_,
                            [this] { return stopRequested_.load(); });
    }
    dropDevice();
    running_ = false;
}

bool AccessoryCommunication::send(std::vector<uint8_t> packet, int kind) {
    // Transfer lengths are ints.
    if (packet.empty() || packet.size() > static_cast<size_t>(INT_MAX)) {
        return false;
    }
    auto lock = lockQueue();
    queue_.push_back(OutgoingPacket{std::move(packet), kind});
    return true;
}

size_t AccessoryCommunication::queuedPackets() {
    auto lock = lockQueue();
    return queue_.size();
}

void AccessoryCommunication::runPass() {
    if (!current_) {
        search();
        return;
    }
    if (suspended_) {
        dropDevice();
        return;
    }
    // A current device is always open after a successful open(); anything else is left alone.
    if (!current_->isOpen()) {
        return;
    }
    writeOnePacket();
    readOnce();
}

void AccessoryCommunication::search() {
    // In the background nothing is looked for; this also keeps the bus quiet.
    if (suspended_) {
        return;
    }
    BramelAccessoryDevice::List devices;
    int count = BramelAccessoryDevice::listDevices(backend_, devices, console_, &printedDevices_);
    if (count <= 0 || !shouldConnect_) {
        return;
    }
    for (size_t i = 0; i < devices.size(); ++i) {
        BramelAccessoryDevice* device = devices[i].get();
        if (!shouldConnect_(this, device)) {
            continue;
        }
        int result = device->open();
        if (result == 0) {
            current_ = BramelAccessoryDevice::freeList(devices, static_cast<int>(i));
            connected_ = true;
            if (didConnect_) {
                didConnect_(this, device);
            }
            return;
        }
        if (didFailToConnect_) {
            didFailToConnect_(this, device, result);
        }
    }
    BramelAccessoryDevice::freeList(devices, -1);
}

void AccessoryCommunication::writeOnePacket() {
    OutgoingPacket packet;
    {
        // The entry leaves the queue before the write so that send() never waits for a slow
        // transfer (up to a second) to finish.
        auto lock = lockQueue();
        if (queue_.empty()) {
            return;
        }
        packet = std::move(queue_.front());
        queue_.pop_front();
    }
    const int length = static_cast<int>(packet.bytes.size());
    int written = 0;
    while (written < length) {
        int remaining = length - written;
        int moved = 0;
        int result = current_->bulkTransfer(current_->outEndpoint(), packet.bytes.data() + written,
                                            remaining, &moved, kWriteTimeoutMs);
        if (moved < 0 || moved > remaining) {
            break;
        }
        written += moved;
        if (result != kUsbSuccess || moved == 0) {
            break;
        }
    }
    // Success only when the whole packet went out: half a command is a failed command.
    int status = written == length ? 0 : -1;
    if (didSendData_) {
        didSendData_(this, current_.get(), packet.kind, status);
    }
}

void AccessoryCommunication::readOnce() {
    unsigned char buffer[kReadCapacity];
    int count = 0;
    int result = current_->bulkTransfer(current_->inEndpoint(), buffer, kReadCapacity, &count,
                                        kReadTimeoutMs);
    if (count < 0 || count > kReadCapacity) {
        // A backend that claims more than the buffer holds cannot be trusted with it.
        dropDevice();
        return;
    }
    // A timeout is the normal idle case; bytes that arrived before it are still delivered.
    if (result == kUsbSuccess || result == kUsbErrorTimeout) {
        if (count > 0 && didReceiveData_) {
            didReceiveData_(this, current_.get(), buffer, count);
        }
        return;
    }
    dropDevice();
}

void AccessoryCommunication::dropDevice() {
    if (!current_) {
        return;
    }
    if (didDisconnect_) {
        didDisconnect_(this, current_.get(), 0);
    }
    current_.reset();
    connected_ = false;
}

std::unique_lock<std::mutex> AccessoryCommunication::lockQueue() {
    std::unique_lock<std::mutex> lock(queueLock_, std::try_to_lock);
    while (!lock.owns_lock()) {
        std::this_thread::sleep_for(kLockRetryDelay);
        lock.try_lock();
    }
    return lock;
}
