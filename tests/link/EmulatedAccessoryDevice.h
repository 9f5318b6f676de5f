#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/link/AccessoryEndpoints.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// The accessory (0x3A7C:0x0007) as a umockdev device: sysfs entry with its device and
// configuration descriptors, and a usbfs ioctl handler that answers string descriptor requests,
// configuration, interface claims and alternate settings, and moves bulk URBs on 0x03 and 0x84
// to and from an AccessoryEndpoints implementation. Real libusb runs unchanged on top of it.
//
// The handler runs on umockdev's own thread; everything it shares with the test is locked.
class EmulatedAccessoryDevice {
  public:
    static constexpr const char* kSysPath = "/sys/devices/usb1";
    static constexpr const char* kDevNode = "/dev/bus/usb/001/001";

    EmulatedAccessoryDevice(UMockdevTestbed* testbed,
                            std::shared_ptr<AccessoryEndpoints> endpoints);
    ~EmulatedAccessoryDevice();

    EmulatedAccessoryDevice(const EmulatedAccessoryDevice&) = delete;
    EmulatedAccessoryDevice& operator=(const EmulatedAccessoryDevice&) = delete;

    // The first call creates the sysfs entry; later calls announce it again ("add" uevent).
    void plugIn();
    // "remove" uevent; from then on every URB fails as on a real disconnect (ENODEV/ESHUTDOWN).
    void unplug();

    int configuration();
    int claimedInterface();
    int alternateSetting();
    int outTransfers();
    // ioctl requests the handler did not know (should stay empty).
    std::vector<unsigned long> unknownRequests();

  private:
    struct PendingUrb {
        UMockdevIoctlData* urb = nullptr;
        UMockdevIoctlData* buffer = nullptr;
        bool in = false;
        bool ready = false;
        int status = 0;
        int actualLength = 0;
    };

    static int handleIoctlThunk(UMockdevIoctlBase* handler, UMockdevIoctlClient* client,
                                void* self);
    bool handleIoctl(UMockdevIoctlClient* client);
    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void answerControl(PendingUrb& pending);
    static void release(PendingUrb& pending);

    UMockdevTestbed* testbed_;
    UMockdevIoctlBase* handler_ = nullptr;
    std::shared_ptr<AccessoryEndpoints> endpoints_;
    bool created_ = false;

    std::mutex lock_;
    bool unplugged_ = false;
    int configuration_ = 0;
    int claimedInterface_ = -1;
    int alternateSetting_ = 0;
    int outTransfers_ = 0;
    std::vector<PendingUrb> pending_;
    std::vector<unsigned long> unknownRequests_;
    std::map<uint8_t, std::string> strings_;
};
