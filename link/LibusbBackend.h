#pragma once

#include <functional>
#include <mutex>

#include "link/UsbBackend.h"

// UsbBackend on libusb-1.0. The only file that includes libusb.h is LibusbBackend.cpp.
//
// The libusb context is created lazily on first use under a lock. When libusb_init fails no
// context is kept and the next call tries again (a udev or usbfs hiccup at start-up must not
// disable USB for the whole session); without a context, listing reports kUsbErrorOther.
class LibusbBackend : public UsbBackend {
  public:
    // Creates a context: `libusb_context**` passed as void** so this header stays free of libusb.
    using ContextInit = std::function<int(void** context)>;

    // The process-wide backend. Its context is never released while the process runs.
    static LibusbBackend& shared();

    LibusbBackend();
    explicit LibusbBackend(ContextInit init);
    // Releases the context (libusb_exit); every device and handle must be gone by then.
    ~LibusbBackend() override;

    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    // True once a context exists (tries to create one).
    bool hasContext();

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
    void* context();

    ContextInit init_;
    std::mutex contextLock_;
    void* context_ = nullptr;  // libusb_context*
};
