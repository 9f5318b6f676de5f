#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "link/UsbBackend.h"

// One USB device found on the bus. It holds a reference to the device from creation to
// destruction and is opened and claimed on demand; destroying an open device releases the
// interface and closes it. Which devices are accessories is the owner's decision (shouldConnect).
class BramelAccessoryDevice {
  public:
    using List = std::vector<std::unique_ptr<BramelAccessoryDevice>>;

    static constexpr uint16_t kVendorId = 0x3A7C;
    static constexpr uint16_t kProductId = 0x0007;
    static constexpr int kConfiguration = 1;
    static constexpr int kInterface = 1;
    static constexpr int kAlternateSetting = 1;
    static constexpr uint8_t kOutEndpoint = 0x03;
    static constexpr uint8_t kInEndpointNumber = 0x04;
    static constexpr uint8_t kInDirection = 0x80;
    static constexpr int kStringCapacity = 100;

    // Takes one reference on `device` (null makes a handle without a device).
    BramelAccessoryDevice(UsbBackend& backend, UsbDevice* device, std::FILE* console = stdout);
    ~BramelAccessoryDevice();

    BramelAccessoryDevice(const BramelAccessoryDevice&) = delete;
    BramelAccessoryDevice& operator=(const BramelAccessoryDevice&) = delete;

    // Replaces `out` with one handle per device on the bus and returns their number, or -1 when
    // there is no USB context or listing fails. Prints one console line per device; with
    // `printed` given, only for devices not in it (it is then updated to the current bus), so a
    // link that lists every millisecond does not flood the console.
    static int listDevices(UsbBackend& backend, List& out, std::FILE* console = stdout,
                           std::vector<uint64_t>* printed = nullptr);
    // Destroys every handle of `list` except the one at `keepIndex` (-1 keeps none), which is
    // returned; the list is left empty.
    static std::unique_ptr<BramelAccessoryDevice> freeList(List& list, int keepIndex);

    // 0 when open (already, or now); -1 when the device cannot be opened. Prints the string
    // descriptors, selects configuration 1 and claims interface 1 in alternate setting 1. Those
    // three steps are not checked: a device that refuses them fails its transfers later.
    int open();
    bool isOpen() const { return open_; }
    // The backend's reason for the last failed open (kUsbErrorAccess: no permission).
    int lastOpenError() const { return lastOpenError_; }

    int vendorId();
    int productId();  // -1 without a device
    bool deviceDescriptor(UsbDeviceDescriptor& out);
    uint8_t busNumber();
    uint8_t deviceAddress();

    int interfaceNumber() const { return interface_; }
    uint8_t outEndpoint() const { return outEndpoint_; }
    uint8_t inEndpoint() const { return inEndpoint_ | kInDirection; }

    // Reads a string descriptor of the open device as printable ASCII (control characters from
    // the device become '?'). Returns the length or a negative UsbResult.
    int readString(uint8_t index, char* text, int capacity);

    // Clamps a string read from a device to `capacity` and replaces control characters and
    // non-ASCII bytes with '?', so a device cannot send escape sequences to a terminal. Returns
    // the clamped length.
    static int makePrintable(char* text, int length, int capacity);

    // Bulk transfer on the open device; kUsbErrorNoDevice when it is not open.
    int bulkTransfer(uint8_t endpoint, unsigned char* data, int length, int* transferred,
                     unsigned int timeoutMs);

    // Set by nobody in Tarno: an owner may accept devices with this flag regardless of their ids.
    bool preApproved = false;

  private:
    void printString(const char* label, const char* failure, uint8_t index);
    void printOpenFailure(int result);

    UsbBackend& backend_;
    UsbDevice* device_;
    UsbDeviceHandle* handle_ = nullptr;
    std::FILE* console_;
    bool open_ = false;
    int interface_ = 0;
    uint8_t outEndpoint_ = 0;
    uint8_t inEndpoint_ = 0;
    int lastOpenError_ = kUsbSuccess;
};
