#include "link/BramelAccessoryDevice.h"

#include <algorithm>

namespace {

uint64_t sightingKey(uint8_t bus, uint8_t address, const UsbDeviceDescriptor& descriptor) {
    return (uint64_t{bus} << 40) | (uint64_t{address} << 32) |
           (uint64_t{descriptor.vendorId} << 16) | descriptor.productId;
}

}  // namespace

BramelAccessoryDevice::BramelAccessoryDevice(UsbBackend& backend, UsbDevice* device,
                                             std::FILE* console)
    : backend_(backend), device_(device), console_(console) {
    if (device_ != nullptr) {
        backend_.refDevice(device_);
    }
}

BramelAccessoryDevice::~BramelAccessoryDevice() {
    if (open_) {
        backend_.setInterfaceAltSetting(handle_, interface_, 0);
        backend_.releaseInterface(handle_, interface_);
    }
    if (handle_ != nullptr) {
        backend_.close(handle_);
    }
    if (device_ != nullptr) {
        backend_.unrefDevice(device_);
    }
}

int BramelAccessoryDevice::listDevices(UsbBackend& backend, List& out, std::FILE* console,
                                       std::vector<uint64_t>* printed) {
    out.clear();
    std::vector<UsbDevice*> devices;
    int count = backend.getDeviceList(devices);
    if (count < 0) {
        return -1;
    }
    std::vector<uint64_t> seen;
    for (UsbDevice* device : devices) {
        UsbDeviceDescriptor descriptor;
        backend.getDeviceDescriptor(device, descriptor);
        uint8_t bus = backend.busNumber(device);
        uint8_t address = backend.deviceAddress(device);
        uint64_t key = sightingKey(bus, address, descriptor);
        seen.push_back(key);
        bool known = printed != nullptr &&
                     std::find(printed->begin(), printed->end(), key) != printed->end();
        if (!known && console != nullptr) {
            std::fprintf(console,
                         "Bus: %u Address: %u Vid: 0x%04x Pid : 0x%04x Class : %u Subclass : %u "
                         "Serial : %u\n",
                         bus, address, descriptor.vendorId, descriptor.productId,
                         descriptor.deviceClass, descriptor.deviceSubClass,
                         descriptor.serialNumberIndex);
        }
        out.push_back(std::make_unique<BramelAccessoryDevice>(backend, device, console));
        // The handle holds its own reference now; give back the listing's.
        backend.unrefDevice(device);
    }
    if (console != nullptr) {
        std::fflush(console);
    }
    if (printed != nullptr) {
        *printed = std::move(seen);
    }
    return static_cast<int>(out.size());
}

std::unique_ptr<BramelAccessoryDevice> BramelAccessoryDevice::freeList(List& list, int keepIndex) {
    std::unique_ptr<BramelAccessoryDevice> kept;
    if (keepIndex >= 0 && static_cast<size_t>(keepIndex) < list.size()) {
        kept = std::move(list[static_cast<size_t>(keepIndex)]);
    }
    list.clear();
    return kept;
}

int BramelAccessoryDevice::open() {
    if (open_) {
        return 0;
    }
    if (device_ == nullptr) {
        lastOpenError_ = kUsbErrorNoDevice;
        return -1;
    }
    UsbDeviceHandle* handle = nullptr;
    int result = backend_.open(device_, &handle);
    if (result != kUsbSuccess || handle == nullptr) {
        lastOpenError_ = result != kUsbSuccess ? result : kUsbErrorOther;
        printOpenFailure(lastOpenError_);
        return -1;
    }
    handle_ = handle;
    lastOpenError_ = kUsbSuccess;

    UsbDeviceDescriptor descriptor;
    backend_.getDeviceDescriptor(device_, descriptor);
    printString("Serial Number", "Serial Number", descriptor.serialNumberIndex);
    printString("Manufacturer", "Manufacturer", descriptor.manufacturerIndex);
    printString("Product", "Product Description", descriptor.productIndex);

    open_ = true;
    interface_ = kInterface;
    outEndpoint_ = kOutEndpoint;
    inEndpoint_ = kInEndpointNumber;
    backend_.setConfiguration(handle_, kConfiguration);
    backend_.claimInterface(handle_, interface_);
    backend_.setInterfaceAltSetting(handle_, interface_, kAlternateSetting);
    return 0;
}

int BramelAccessoryDevice::readString(uint8_t index, char* text, int capacity) {
    if (handle_ == nullptr) {
        return kUsbErrorNoDevice;
    }
    if (text == nullptr || capacity <= 0) {
        return kUsbErrorInvalidParam;
    }
    int length = backend_.getStringDescriptorAscii(
        handle_, index, reinterpret_cast<unsigned char*>(text), capacity);
    if (length < 0) {
        return length;
    }
    return makePrintable(text, length, capacity);
}

int BramelAccessoryDevice::makePrintable(char* text, int length, int capacity) {
    length = std::clamp(length, 0, capacity);
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F) {
            text[i] = '?';
        }
    }
    return length;
}

void BramelAccessoryDevice::printString(const char* label, const char* failure, uint8_t index) {
    char text[kStringCapacity];
    int length = readString(index, text, kStringCapacity);
    if (console_ == nullptr) {
        return;
    }
    if (length >= 0) {
        std::fprintf(console_, "    %s: %.*s\n", label, length, text);
    } else {
        std::fprintf(console_, "    Unable to get %s: %d\n", failure, length);
    }
}

void BramelAccessoryDevice::printOpenFailure(int result) {
    if (console_ == nullptr) {
        return;
    }
    if (result == kUsbErrorAccess) {
        std::fprintf(console_,
                     "    Unable to open device: permission denied. Install the udev rule "
                     "60-tarno-accessory.rules (see packaging/README.md) and plug the accessory "
                     "in again.\n");
    } else {
        std::fprintf(console_, "    Unable to open device: %s (%d)\n", usbResultText(result),
                     result);
    }
    std::fflush(console_);
}

int BramelAccessoryDevice::vendorId() {
    UsbDeviceDescriptor descriptor;
    return deviceDescriptor(descriptor) ? descriptor.vendorId : -1;
}

int BramelAccessoryDevice::productId() {
    UsbDeviceDescriptor descriptor;
    return deviceDescriptor(descriptor) ? descriptor.productId : -1;
}

bool BramelAccessoryDevice::deviceDescriptor(UsbDeviceDescriptor& out) {
    return device_ != nullptr && backend_.getDeviceDescriptor(device_, out) == kUsbSuccess;
}

uint8_t BramelAccessoryDevice::busNumber() {
    return device_ != nullptr ? backend_.busNumber(device_) : 0;
}

uint8_t BramelAccessoryDevice::deviceAddress() {
    return device_ != nullptr ? backend_.deviceAddress(device_) : 0;
}

int BramelAccessoryDevice::bulkTransfer(uint8_t endpoint, unsigned char* data, int length,
                                        int* transferred, unsigned int timeoutMs) {
    *transferred = 0;
    if (!open_ || handle_ == nullptr) {
        return kUsbErrorNoDevice;
    }
    return backend_.bulkTransfer(handle_, endpoint, data, length, transferred, timeoutMs);
}
