#include "tests/link/FakeUsbBackend.h"

#include <algorithm>
#include <cstring>

#include "link/BramelAccessoryDevice.h"

int FakeUsbBackend::addDevice(uint16_t vendorId, uint16_t productId) {
    std::lock_guard<std::mutex> guard(lock_);
    auto device = std::make_unique<Device>();
    device->id = static_cast<int>(devices_.size());
    device->address = static_cast<uint8_t>(device->id + 2);
    device->descriptor.vendorId = vendorId;
    device->descriptor.productId = productId;
    devices_.push_back(std::move(device));
    return devices_.back()->id;
}

int FakeUsbBackend::addAccessory() {
    int id = addDevice(BramelAccessoryDevice::kVendorId, BramelAccessoryDevice::kProductId);
    modify(id, [](Device& device) {
        device.descriptor.manufacturerIndex = 1;
        device.descriptor.productIndex = 2;
        device.descriptor.serialNumberIndex = 3;
        device.strings[1] = "Bramel";
        device.strings[2] = "Tarno RF Explorer";
        device.strings[3] = "TA0001";
    });
    return id;
}

void FakeUsbBackend::plug(int id) {
    modify(id, [](Device& device) { device.plugged = true; });
}

void FakeUsbBackend::unplug(int id) {
    modify(id, [](Device& device) { device.plugged = false; });
}

void FakeUsbBackend::setListingResult(int result) {
    std::lock_guard<std::mutex> guard(lock_);
    listingResult_ = result;
}

FakeUsbBackend::Device FakeUsbBackend::device(int id) {
    std::lock_guard<std::mutex> guard(lock_);
    return *devices_.at(static_cast<size_t>(id));
}

int FakeUsbBackend::totalReferences() {
    std::lock_guard<std::mutex> guard(lock_);
    int total = 0;
    for (const auto& device : devices_) {
        total += device->references;
    }
    return total;
}

int FakeUsbBackend::totalOpenHandles() {
    std::lock_guard<std::mutex> guard(lock_);
    int total = 0;
    for (const auto& device : devices_) {
        total += device->openHandles;
    }
    return total;
}

int FakeUsbBackend::listings() {
    std::lock_guard<std::mutex> guard(lock_);
    return listings_;
}

FakeUsbBackend::Device& FakeUsbBackend::deviceOf(UsbDevice* token) {
    return *reinterpret_cast<Device*>(token);
}

FakeUsbBackend::Device& FakeUsbBackend::deviceOf(UsbDeviceHandle* token) {
    return *reinterpret_cast<Handle*>(token)->device;
}

int FakeUsbBackend::getDeviceList(std::vector<UsbDevice*>& out) {
    std::lock_guard<std::mutex> guard(lock_);
    ++listings_;
    if (listingResult_ < 0) {
        return listingResult_;
    }
    int count = 0;
    for (const auto& device : devices_) {
        if (device->plugged) {
            ++device->references;
            out.push_back(reinterpret_cast<UsbDevice*>(device.get()));
            ++count;
        }
    }
    return count;
}

void FakeUsbBackend::refDevice(UsbDevice* device) {
    std::lock_guard<std::mutex> guard(lock_);
    ++deviceOf(device).references;
}

void FakeUsbBackend::unrefDevice(UsbDevice* device) {
    std::lock_guard<std::mutex> guard(lock_);
    --deviceOf(device).references;
}

int FakeUsbBackend::getDeviceDescriptor(UsbDevice* device, UsbDeviceDescriptor& out) {
    std::lock_guard<std::mutex> guard(lock_);
    out = deviceOf(device).descriptor;
    return kUsbSuccess;
}

uint8_t FakeUsbBackend::busNumber(UsbDevice* device) {
    std::lock_guard<std::mutex> guard(lock_);
    return deviceOf(device).bus;
}

uint8_t FakeUsbBackend::deviceAddress(UsbDevice* device) {
    std::lock_guard<std::mutex> guard(lock_);
    return deviceOf(device).address;
}

int FakeUsbBackend::open(UsbDevice* token, UsbDeviceHandle** handle) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(token);
    *handle = nullptr;
    if (!device.plugged) {
        return kUsbErrorNoDevice;
    }
    if (device.openResult != kUsbSuccess) {
        return device.openResult;
    }
    handles_.push_back(std::make_unique<Handle>(Handle{&device}));
    ++device.openHandles;
    device.claimedInterface = -1;
    *handle = reinterpret_cast<UsbDeviceHandle*>(handles_.back().get());
    return kUsbSuccess;
}

void FakeUsbBackend::close(UsbDeviceHandle* token) {
    std::lock_guard<std::mutex> guard(lock_);
    auto* handle = reinterpret_cast<Handle*>(token);
    --handle->device->openHandles;
    handle->device->claimedInterface = -1;
    std::erase_if(handles_, [handle](const auto& owned) { return owned.get() == handle; });
}

int FakeUsbBackend::getStringDescriptorAscii(UsbDeviceHandle* handle, uint8_t index,
                                             unsigned char* data, int length) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(handle);
    if (!device.plugged) {
        return kUsbErrorNoDevice;
    }
    auto found = device.strings.find(index);
    if (index == 0 || found == device.strings.end()) {
        return kUsbErrorPipe;  // a stall, as real devices answer unknown descriptors
    }
    int count = std::min(length, static_cast<int>(found->second.size()));
    std::memcpy(data, found->second.data(), static_cast<size_t>(count));
    return count;
}

int FakeUsbBackend::setConfiguration(UsbDeviceHandle* handle, int configuration) {
    std::lock_guard<std::mutex> guard(lock_);
    deviceOf(handle).configuration = configuration;
    return kUsbSuccess;
}

int FakeUsbBackend::claimInterface(UsbDeviceHandle* handle, int interfaceNumber) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(handle);
    if (device.claimResult != kUsbSuccess) {
        return device.claimResult;
    }
    device.claimedInterface = interfaceNumber;
    return kUsbSuccess;
}

int FakeUsbBackend::releaseInterface(UsbDeviceHandle* handle, int interfaceNumber) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(handle);
    if (device.claimedInterface != interfaceNumber) {
        return kUsbErrorNotFound;
    }
    device.claimedInterface = -1;
    return device.plugged ? kUsbSuccess : kUsbErrorNoDevice;
}

int FakeUsbBackend::setInterfaceAltSetting(UsbDeviceHandle* handle, int interfaceNumber,
                                           int alternateSetting) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(handle);
    if (device.claimedInterface != interfaceNumber) {
        return kUsbErrorNotFound;
    }
    device.alternateSetting = alternateSetting;
    device.alternateSettingHistory.push_back(alternateSetting);
    return kUsbSuccess;
}

int FakeUsbBackend::bulkTransfer(UsbDeviceHandle* handle, uint8_t endpoint, unsigned char* data,
                                 int length, int* transferred, unsigned int) {
    std::lock_guard<std::mutex> guard(lock_);
    Device& device = deviceOf(handle);
    *transferred = 0;
    if (!device.plugged) {
        return kUsbErrorNoDevice;
    }
    // Like the kernel: endpoints of an unclaimed interface are not reachable.
    if (device.claimedInterface != BramelAccessoryDevice::kInterface ||
        device.alternateSetting != BramelAccessoryDevice::kAlternateSetting) {
        return kUsbErrorNotFound;
    }
    if (endpoint == BramelAccessoryDevice::kOutEndpoint) {
        return write(device, data, length, transferred);
    }
    if (endpoint ==
        (BramelAccessoryDevice::kInEndpointNumber | BramelAccessoryDevice::kInDirection)) {
        return read(device, data, length, transferred);
    }
    return kUsbErrorPipe;
}

int FakeUsbBackend::write(Device& device, unsigned char* data, int length, int* transferred) {
    Step step;
    if (!device.writeSteps.empty()) {
        step = device.writeSteps.front();
        device.writeSteps.pop_front();
    }
    int moved = step.moved < 0 ? length : std::min(step.moved, length);
    if (device.maxWriteChunk > 0) {
        moved = std::min(moved, device.maxWriteChunk);
    }
    device.writes.emplace_back(data, data + moved);
    if (device.endpoints && moved > 0) {
        device.endpoints->receive(data, static_cast<size_t>(moved));
    }
    *transferred = step.claimed >= 0 ? step.claimed : moved;
    return step.result;
}

int FakeUsbBackend::read(Device& device, unsigned char* data, int length, int* transferred) {
    ++device.reads;
    if (!device.readSteps.empty()) {
        Step step = device.readSteps.front();
        device.readSteps.pop_front();
        int moved = std::min(static_cast<int>(step.bytes.size()), length);
        if (step.moved >= 0) {
            moved = std::min(moved, step.moved);
        }
        if (moved > 0) {
            std::memcpy(data, step.bytes.data(), static_cast<size_t>(moved));
        }
        *transferred = step.claimed >= 0 ? step.claimed : moved;
        return step.result;
    }
    if (device.endpoints) {
        size_t moved = device.endpoints->transmit(data, static_cast<size_t>(length));
        *transferred = static_cast<int>(moved);
        if (moved > 0) {
            return kUsbSuccess;
        }
    }
    return kUsbErrorTimeout;
}
