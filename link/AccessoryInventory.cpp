#include "link/AccessoryInventory.h"

#include "link/BramelAccessoryDevice.h"

namespace {

std::string readString(UsbBackend& backend, UsbDeviceHandle* handle, uint8_t index) {
    if (index == 0) {
        return {};
    }
    char text[BramelAccessoryDevice::kStringCapacity];
    int length =
        backend.getStringDescriptorAscii(handle, index, reinterpret_cast<unsigned char*>(text),
                                         BramelAccessoryDevice::kStringCapacity);
    if (length <= 0) {
        return {};
    }
    length =
        BramelAccessoryDevice::makePrintable(text, length, BramelAccessoryDevice::kStringCapacity);
    return std::string(text, static_cast<size_t>(length));
}

}  // namespace

int AccessoryInventory::take(UsbBackend& backend, std::vector<AccessoryInfo>& out) {
    out.clear();
    std::vector<UsbDevice*> devices;
    if (backend.getDeviceList(devices) < 0) {
        return -1;
    }
    for (UsbDevice* device : devices) {
        UsbDeviceDescriptor descriptor;
        if (backend.getDeviceDescriptor(device, descriptor) == kUsbSuccess &&
            descriptor.vendorId == BramelAccessoryDevice::kVendorId &&
            descriptor.productId == BramelAccessoryDevice::kProductId) {
            AccessoryInfo info;
            info.bus = backend.busNumber(device);
            info.address = backend.deviceAddress(device);
            info.vendorId = descriptor.vendorId;
            info.productId = descriptor.productId;
            UsbDeviceHandle* handle = nullptr;
            info.openResult = backend.open(device, &handle);
            info.accessible = info.openResult == kUsbSuccess && handle != nullptr;
            if (info.accessible) {
                info.serialNumber = readString(backend, handle, descriptor.serialNumberIndex);
                info.manufacturer = readString(backend, handle, descriptor.manufacturerIndex);
                info.product = readString(backend, handle, descriptor.productIndex);
                backend.close(handle);
            }
            out.push_back(std::move(info));
        }
        backend.unrefDevice(device);
    }
    return static_cast<int>(out.size());
}
