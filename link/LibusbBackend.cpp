#include "link/LibusbBackend.h"

#include <libusb.h>

namespace {

libusb_device* native(UsbDevice* device) {
    return reinterpret_cast<libusb_device*>(device);
}

libusb_device_handle* native(UsbDeviceHandle* handle) {
    return reinterpret_cast<libusb_device_handle*>(handle);
}

int defaultInit(void** context) {
    libusb_context* created = nullptr;
    int result = libusb_init(&created);
    *context = result == LIBUSB_SUCCESS ? created : nullptr;
    return result;
}

}  // namespace

LibusbBackend& LibusbBackend::shared() {
    // Deliberately never destroyed: the I/O thread may still use it while static destructors run.
    static LibusbBackend* backend = new LibusbBackend();
    return *backend;
}

LibusbBackend::LibusbBackend() : init_(defaultInit) {}

LibusbBackend::LibusbBackend(ContextInit init) : init_(std::move(init)) {}

LibusbBackend::~LibusbBackend() {
    if (context_ != nullptr) {
        libusb_exit(static_cast<libusb_context*>(context_));
    }
}

void* LibusbBackend::context() {
    std::lock_guard<std::mutex> lock(contextLock_);
    if (context_ == nullptr) {
        void* created = nullptr;
        if (init_(&created) == LIBUSB_SUCCESS && created != nullptr) {
            context_ = created;
        }
    }
    return context_;
}

bool LibusbBackend::hasContext() {
    return context() != nullptr;
}

int LibusbBackend::getDeviceList(std::vector<UsbDevice*>& out) {
    auto* ctx = static_cast<libusb_context*>(context());
    if (ctx == nullptr) {
        return kUsbErrorOther;
    }
    libusb_device** list = nullptr;
    ssize_t count = libusb_get_device_list(ctx, &list);
    if (count < 0) {
        return static_cast<int>(count);
    }
    for (ssize_t i = 0; i < count; ++i) {
        out.push_back(reinterpret_cast<UsbDevice*>(list[i]));
    }
    // The list's references go to the caller.
    libusb_free_device_list(list, 0);
    return static_cast<int>(count);
}

void LibusbBackend::refDevice(UsbDevice* device) {
    libusb_ref_device(native(device));
}

void LibusbBackend::unrefDevice(UsbDevice* device) {
    libusb_unref_device(native(device));
}

int LibusbBackend::getDeviceDescriptor(UsbDevice* device, UsbDeviceDescriptor& out) {
    libusb_device_descriptor descriptor{};
    int result = libusb_get_device_descriptor(native(device), &descriptor);
    if (result != LIBUSB_SUCCESS) {
        return result;
    }
    out.deviceClass = descriptor.bDeviceClass;
    out.deviceSubClass = descriptor.bDeviceSubClass;
    out.vendorId = descriptor.idVendor;
    out.productId = descriptor.idProduct;
    out.manufacturerIndex = descriptor.iManufacturer;
    out.productIndex = descriptor.iProduct;
    out.serialNumberIndex = descriptor.iSerialNumber;
    return kUsbSuccess;
}

uint8_t LibusbBackend::busNumber(UsbDevice* device) {
    return libusb_get_bus_number(native(device));
}

uint8_t LibusbBackend::deviceAddress(UsbDevice* device) {
    return libusb_get_device_address(native(device));
}

int LibusbBackend::open(UsbDevice* device, UsbDeviceHandle** handle) {
    libusb_device_handle* opened = nullptr;
    int result = libusb_open(native(device), &opened);
    if (result != LIBUSB_SUCCESS || opened == nullptr) {
        *handle = nullptr;
        return result != LIBUSB_SUCCESS ? result : kUsbErrorOther;
    }
    *handle = reinterpret_cast<UsbDeviceHandle*>(opened);
    return kUsbSuccess;
}

void LibusbBackend::close(UsbDeviceHandle* handle) {
    libusb_close(native(handle));
}

int LibusbBackend::getStringDescriptorAscii(UsbDeviceHandle* handle, uint8_t index,
                                            unsigned char* data, int length) {
    return libusb_get_string_descriptor_ascii(native(handle), index, data, length);
}

int LibusbBackend::setConfiguration(UsbDeviceHandle* handle, int configuration) {
    return libusb_set_configuration(native(handle), configuration);
}

int LibusbBackend::claimInterface(UsbDeviceHandle* handle, int interfaceNumber) {
    return libusb_claim_interface(native(handle), interfaceNumber);
}

int LibusbBackend::releaseInterface(UsbDeviceHandle* handle, int interfaceNumber) {
    return libusb_release_interface(native(handle), interfaceNumber);
}

int LibusbBackend::setInterfaceAltSetting(UsbDeviceHandle* handle, int interfaceNumber,
                                          int alternateSetting) {
    // libusb 1.0.26 (Debian 12) unlocks the handle's mutex without locking it when the device has
    // been unplugged, and the libusb_close() that follows aborts on an assertion. Claiming an
    // interface the handle already holds changes nothing but checks, before any locking, that the
    // device is still attached; a device that vanished in between the two calls still slips by.
    int claimed = libusb_claim_interface(native(handle), interfaceNumber);
    if (claimed == LIBUSB_ERROR_NO_DEVICE) {
        return claimed;
    }
    return libusb_set_interface_alt_setting(native(handle), interfaceNumber, alternateSetting);
}

int LibusbBackend::bulkTransfer(UsbDeviceHandle* handle, uint8_t endpoint, unsigned char* data,
                                int length, int* transferred, unsigned int timeoutMs) {
    *transferred = 0;
    return libusb_bulk_transfer(native(handle), endpoint, data, length, transferred, timeoutMs);
}
