#pragma once

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/UsbBackend.h"
#include "tests/link/AccessoryEndpoints.h"

// An in-memory USB bus for the link's tests. Devices are plugged and unplugged at will, their
// failures are scripted, and every reference and open handle is counted so that a test can prove
// nothing leaked. Transfers never block: an idle IN endpoint times out at once.
class FakeUsbBackend : public UsbBackend {
  public:
    // One scripted transfer result. `moved` bytes are transferred (clamped to the request unless
    // `claimed` asks to report a bogus count).
    struct Step {
        Step(int result = kUsbSuccess, int moved = -1, std::vector<uint8_t> bytes = {},
             int claimed = -1)
            : result(result), moved(moved), bytes(std::move(bytes)), claimed(claimed) {}

        int result = kUsbSuccess;
        int moved = -1;  // -1: everything requested (OUT) or all of `bytes` (IN)
        std::vector<uint8_t> bytes;
        int claimed = -1;  // when >= 0, reported as the transferred count regardless
    };

    struct Device {
        int id = 0;
        uint8_t bus = 1;
        uint8_t address = 1;
        UsbDeviceDescriptor descriptor;
        std::map<uint8_t, std::string> strings;
        bool plugged = true;
        int openResult = kUsbSuccess;
        int claimResult = kUsbSuccess;

        // Bus-side state, visible to tests.
        int references = 0;
        int openHandles = 0;
        int configuration = 0;
        int claimedInterface = -1;
        int alternateSetting = 0;
        std::vector<int> alternateSettingHistory;
        std::vector<std::vector<uint8_t>> writes;  // bytes moved by each OUT transfer
        int reads = 0;

        // Scripted transfers, used before the endpoints are asked.
        std::deque<Step> writeSteps;
        std::deque<Step> readSteps;
        int maxWriteChunk = 0;  // > 0: an OUT transfer moves at most this many bytes
        std::shared_ptr<AccessoryEndpoints> endpoints;
    };

    FakeUsbBackend() = default;
    ~FakeUsbBackend() override = default;

    // Adds a device (plugged) and returns its id.
    int addDevice(uint16_t vendorId, uint16_t productId);
    int addAccessory();  // 0x3A7C:0x0007 with serial, manufacturer and product strings
    void plug(int id);
    void unplug(int id);
    void setListingResult(int result);

    // Runs `change` on a device under the bus lock.
    template <typename Change>
    void modify(int id, Change change) {
        std::lock_guard<std::mutex> guard(lock_);
        change(*devices_.at(static_cast<size_t>(id)));
    }
    // A copy of a device's state.
    Device device(int id);
    int totalReferences();
    int totalOpenHandles();
    int listings();

    int getDeviceList(std::vector<UsbDevice*>& out) override;
    void refDevice(UsbDevice* device) override;
    void unrefDevice(UsbDevice* device) override;
    int getDeviceDescriptor(UsbDevice* device, UsbDeviceDescriptor& out) override;
    uint8_t busNumber(UsbDevice* device) override;
    uint8_t deviceAddress(UsbDevice* device) override;
    int open(UsbDevice* device, UsbDeviceHandle** handle) override;
    void close(UsbDeviceHandle* handle) override;
    int getStringDescriptorAscii(UsbDeviceHandle* handle, uint8_t index, unsigned char* data,
                                 int length) override;
    int setConfiguration(UsbDeviceHandle* handle, int configuration) override;
    int claimInterface(UsbDeviceHandle* handle, int interfaceNumber) override;
    int releaseInterface(UsbDeviceHandle* handle, int interfaceNumber) override;
    int setInterfaceAltSetting(UsbDeviceHandle* handle, int interfaceNumber,
                               int alternateSetting) override;
    int bulkTransfer(UsbDeviceHandle* handle, uint8_t endpoint, unsigned char* data, int length,
                     int* transferred, unsigned int timeoutMs) override;

  private:
    struct Handle {
        Device* device;
    };

    Device& deviceOf(UsbDevice* token);
    Device& deviceOf(UsbDeviceHandle* token);
    int write(Device& device, unsigned char* data, int length, int* transferred);
    int read(Device& device, unsigned char* data, int length, int* transferred);

    std::mutex lock_;
    std::vector<std::unique_ptr<Device>> devices_;
    std::vector<std::unique_ptr<Handle>> handles_;
    int listingResult_ = kUsbSuccess;
    int listings_ = 0;
};
