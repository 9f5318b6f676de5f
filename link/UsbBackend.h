#pragma once

#include <cstdint>
#include <vector>

// Opaque tokens handed out by a backend. Each backend decides what they point to; the link only
// passes them back to the backend that produced them.
struct UsbDevice;
struct UsbDeviceHandle;

// Result codes of backend calls. The values are libusb's, so the libusb backend passes its
// results through unchanged and console lines show the numbers users find in libusb's docs.
enum UsbResult : int {
    kUsbSuccess = 0,
    kUsbErrorIo = -1,
    kUsbErrorInvalidParam = -2,
    kUsbErrorAccess = -3,
    kUsbErrorNoDevice = -4,
    kUsbErrorNotFound = -5,
    kUsbErrorBusy = -6,
    kUsbErrorTimeout = -7,
    kUsbErrorOverflow = -8,
    kUsbErrorPipe = -9,
    kUsbErrorInterrupted = -10,
    kUsbErrorNoMemory = -11,
    kUsbErrorNotSupported = -12,
    kUsbErrorOther = -99,
};

// Short English name of a result code ("permission denied", "no such device", ...).
const char* usbResultText(int result);

// The fields of the standard device descriptor the link and its users read.
struct UsbDeviceDescriptor {
    uint8_t deviceClass = 0;
    uint8_t deviceSubClass = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint8_t manufacturerIndex = 0;
    uint8_t productIndex = 0;
    uint8_t serialNumberIndex = 0;
};

// The narrow interface through which the link reaches USB. Production uses LibusbBackend; tests
// use a fake. All calls may come from any thread (the link calls them from its I/O thread, the
// command-line tool from its main thread); implementations synchronise themselves.
class UsbBackend {
  public:
    virtual ~UsbBackend() = default;

    // Appends the devices on the bus to `out`, each carrying one reference the caller must give
    // back with unrefDevice. Returns the number appended, or a negative UsbResult when there is
    // no USB context or listing failed (nothing is appended then).
    virtual int getDeviceList(std::vector<UsbDevice*>& out) = 0;
    virtual void refDevice(UsbDevice* device) = 0;
    virtual void unrefDevice(UsbDevice* device) = 0;

    // Descriptor data cached at enumeration: works without opening the device.
    virtual int getDeviceDescriptor(UsbDevice* device, UsbDeviceDescriptor& out) = 0;
    virtual uint8_t busNumber(UsbDevice* device) = 0;
    virtual uint8_t deviceAddress(UsbDevice* device) = 0;

    // kUsbSuccess with *handle set, or a negative UsbResult (kUsbErrorAccess when the user lacks
    // permission, kUsbErrorNoDevice when it vanished) with *handle null.
    virtual int open(UsbDevice* device, UsbDeviceHandle** handle) = 0;
    virtual void close(UsbDeviceHandle* handle) = 0;

    // Number of bytes written to `data` (at most `length`), or a negative UsbResult.
    virtual int getStringDescriptorAscii(UsbDeviceHandle* handle, uint8_t index,
                                         unsigned char* data, int length) = 0;

    virtual int setConfiguration(UsbDeviceHandle* handle, int configuration) = 0;
    virtual int claimInterface(UsbDeviceHandle* handle, int interfaceNumber) = 0;
    virtual int releaseInterface(UsbDeviceHandle* handle, int interfaceNumber) = 0;
    virtual int setInterfaceAltSetting(UsbDeviceHandle* handle, int interfaceNumber,
                                       int alternateSetting) = 0;

    // Synchronous bulk transfer. Returns kUsbSuccess or a negative UsbResult; *transferred is
    // always set, and may be non-zero on failure (a timeout after part of the data moved).
    virtual int bulkTransfer(UsbDeviceHandle* handle, uint8_t endpoint, unsigned char* data,
                             int length, int* transferred, unsigned int timeoutMs) = 0;
};
