#include "tests/link/EmulatedAccessoryDevice.h"

#include <errno.h>
#include <linux/ioctl.h>
// <linux/ioctl.h> must come first: usbdevice_fs.h uses its macros without including it.
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cstring>

namespace {

// Device descriptor, then configuration 1: interface 0 (no endpoints) and interface 1 in
// alternate settings 0 (idle) and 1 (bulk OUT 0x03 and bulk IN 0x84, 64-byte full-speed packets).
constexpr const char* kDescriptorsHex =
    "1201000200000040"
    "7c3a0700"
    "0001"
    "010203"
    "01"
    "090232000201008032"
    "0904000000ff000000"
    "0904010000ff000000"
    "0904010102ff000000"
    "07050302400000"
    "07058402400000";

std::vector<uint8_t> stringDescriptor(const std::string& text) {
    std::vector<uint8_t> descriptor{static_cast<uint8_t>(2 + 2 * text.size()), 0x03};
    for (char c : text) {
        descriptor.push_back(static_cast<uint8_t>(c));
        descriptor.push_back(0);
    }
    return descriptor;
}

UMockdevIoctlData* resolve(UMockdevIoctlData* data, size_t offset, size_t length) {
    return umockdev_ioctl_data_resolve(data, offset, length, nullptr);
}

}  // namespace

EmulatedAccessoryDevice::EmulatedAccessoryDevice(UMockdevTestbed* testbed,
                                                 std::shared_ptr<AccessoryEndpoints> endpoints)
    : testbed_(testbed), endpoints_(std::move(endpoints)) {
    strings_[1] = "Bramel";
    strings_[2] = "Tarno RF Explorer";
    strings_[3] = "TA-EMU-0001";
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(handleIoctlThunk), this);
}

EmulatedAccessoryDevice::~EmulatedAccessoryDevice() {
    if (created_) {
        umockdev_testbed_detach_ioctl(testbed_, kDevNode, nullptr);
    }
    g_signal_handlers_disconnect_by_data(handler_, this);
    std::lock_guard<std::mutex> guard(lock_);
    for (PendingUrb& pending : pending_) {
        release(pending);
    }
    pending_.clear();
    g_object_unref(handler_);
}

void EmulatedAccessoryDevice::plugIn() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        unplugged_ = false;
        configuration_ = 0;
        claimedInterface_ = -1;
        alternateSetting_ = 0;
    }
    if (created_) {
        umockdev_testbed_uevent(testbed_, kSysPath, "add");
        return;
    }
    // The handler must be attached before the device appears, or an early open finds no socket.
    umockdev_testbed_attach_ioctl(testbed_, kDevNode, handler_, nullptr);
    std::string description = std::string() +
                              "P: /devices/usb1\n"
                              "N: bus/usb/001/001\n"
                              "E: SUBSYSTEM=usb\n"
                              "E: DRIVER=usb\n"
                              "E: BUSNUM=001\n"
                              "E: DEVNUM=001\n"
                              "E: DEVNAME=/dev/bus/usb/001/001\n"
                              "E: DEVTYPE=usb_device\n"
                              "A: bConfigurationValue=1\\n\n"
                              "A: busnum=1\\n\n"
                              "A: devnum=1\\n\n"
                              "A: speed=12\\n\n"
                              "H: descriptors=" +
                              kDescriptorsHex + "\n";
    umockdev_testbed_add_from_string(testbed_, description.c_str(), nullptr);
    created_ = true;
}

void EmulatedAccessoryDevice::unplug() {
    // The bus forgets the device first, then its transfers start failing: a link that sees the
    // failure and lists again must not find the device still there.
    umockdev_testbed_uevent(testbed_, kSysPath, "remove");
    std::lock_guard<std::mutex> guard(lock_);
    unplugged_ = true;
}

int EmulatedAccessoryDevice::configuration() {
    std::lock_guard<std::mutex> guard(lock_);
    return configuration_;
}

int EmulatedAccessoryDevice::claimedInterface() {
    std::lock_guard<std::mutex> guard(lock_);
    return claimedInterface_;
}

int EmulatedAccessoryDevice::alternateSetting() {
    std::lock_guard<std::mutex> guard(lock_);
    return alternateSetting_;
}

int EmulatedAccessoryDevice::outTransfers() {
    std::lock_guard<std::mutex> guard(lock_);
    return outTransfers_;
}

std::vector<unsigned long> EmulatedAccessoryDevice::unknownRequests() {
    std::lock_guard<std::mutex> guard(lock_);
    return unknownRequests_;
}

int EmulatedAccessoryDevice::handleIoctlThunk(UMockdevIoctlBase*, UMockdevIoctlClient* client,
                                              void* self) {
    return static_cast<EmulatedAccessoryDevice*>(self)->handleIoctl(client) ? TRUE : FALSE;
}

bool EmulatedAccessoryDevice::handleIoctl(UMockdevIoctlClient* client) {
    unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::lock_guard<std::mutex> guard(lock_);

    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = resolve(arg, 0, sizeof(uint32_t));
            // Scatter-gather keeps libusb from splitting bulk transfers into pieces.
            uint32_t value = USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_BULK_CONTINUATION |
                             USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT |
                             USBDEVFS_CAP_ZERO_PACKET;
            std::memcpy(caps->data, &value, sizeof(value));
            umockdev_ioctl_client_complete(client, 0, 0);
            umockdev_ioctl_data_unref(caps);
            return true;
        }
        case USBDEVFS_SETCONFIGURATION:
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE: {
            if (unplugged_) {
                umockdev_ioctl_client_complete(client, -1, ENODEV);
                return true;
            }
            UMockdevIoctlData* number = resolve(arg, 0, sizeof(unsigned int));
            unsigned int value = 0;
            std::memcpy(&value, number->data, sizeof(value));
            umockdev_ioctl_data_unref(number);
            if (request == USBDEVFS_SETCONFIGURATION) {
                configuration_ = static_cast<int>(value);
            } else if (request == USBDEVFS_CLAIMINTERFACE) {
                claimedInterface_ = static_cast<int>(value);
            } else if (claimedInterface_ == static_cast<int>(value)) {
                claimedInterface_ = -1;
            }
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_SETINTERFACE: {
            if (unplugged_) {
                umockdev_ioctl_client_complete(client, -1, ENODEV);
                return true;
            }
            UMockdevIoctlData* setting = resolve(arg, 0, sizeof(usbdevfs_setinterface));
            usbdevfs_setinterface value{};
            std::memcpy(&value, setting->data, sizeof(value));
            umockdev_ioctl_data_unref(setting);
            if (static_cast<int>(value.interface) != claimedInterface_) {
                umockdev_ioctl_client_complete(client, -1, EINVAL);
                return true;
            }
            alternateSetting_ = static_cast<int>(value.altsetting);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
            umockdev_ioctl_client_complete(client, unplugged_ ? -1 : 0, unplugged_ ? ENODEV : 0);
            return true;
        case USBDEVFS_SUBMITURB:
            submit(client, arg);
            return true;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            reap(client, arg);
            return true;
        case USBDEVFS_DISCARDURB:
            discard(client, arg);
            return true;
        default:
            unknownRequests_.push_back(request);
            umockdev_ioctl_client_complete(client, -1, ENOTTY);
            return true;
    }
}

void EmulatedAccessoryDevice::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    if (unplugged_) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    }
    PendingUrb pending;
    pending.urb = resolve(arg, 0, sizeof(usbdevfs_urb));
    auto* urb = reinterpret_cast<usbdevfs_urb*>(pending.urb->data);
    if (urb->buffer_length > 0) {
        pending.buffer = resolve(pending.urb, offsetof(usbdevfs_urb, buffer),
                                 static_cast<size_t>(urb->buffer_length));
    }
    pending.in = (urb->endpoint & 0x80) != 0;

    if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
        answerControl(pending);
    } else if (urb->type != USBDEVFS_URB_TYPE_BULK ||
               (urb->endpoint != 0x03 && urb->endpoint != 0x84) || claimedInterface_ != 1 ||
               alternateSetting_ != 1) {
        // No such endpoint in the current alternate setting.
        release(pending);
        umockdev_ioctl_client_complete(client, -1, ENOENT);
        return;
    } else if (!pending.in) {
        if (pending.buffer != nullptr) {
            endpoints_->receive(pending.buffer->data, static_cast<size_t>(urb->buffer_length));
        }
        ++outTransfers_;
        pending.ready = true;
        pending.actualLength = urb->buffer_length;
    }
    pending_.push_back(pending);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedAccessoryDevice::answerControl(PendingUrb& pending) {
    auto* urb = reinterpret_cast<usbdevfs_urb*>(pending.urb->data);
    pending.ready = true;
    pending.status = -EPIPE;  // a stall, unless the request is known
    if (pending.buffer == nullptr || urb->buffer_length < 8) {
        return;
    }
    uint8_t* setup = pending.buffer->data;
    int requestType = setup[0];
    int request = setup[1];
    int value = setup[2] | (setup[3] << 8);
    int length = setup[6] | (setup[7] << 8);
    if (requestType != 0x80 || request != 0x06 || (value >> 8) != 0x03) {
        return;
    }
    std::vector<uint8_t> descriptor;
    int index = value & 0xFF;
    if (index == 0) {
        descriptor = {0x04, 0x03, 0x09, 0x04};  // English (US)
    } else if (auto found = strings_.find(static_cast<uint8_t>(index)); found != strings_.end()) {
        descriptor = stringDescriptor(found->second);
    } else {
        return;
    }
    int count = std::min({static_cast<int>(descriptor.size()), length, urb->buffer_length - 8});
    std::memcpy(setup + 8, descriptor.data(), static_cast<size_t>(count));
    pending.status = 0;
    pending.actualLength = count;
}

void EmulatedAccessoryDevice::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    auto chosen = pending_.end();
    for (auto it = pending_.begin(); it != pending_.end() && chosen == pending_.end(); ++it) {
        if (!it->ready && it->in) {
            if (unplugged_) {
                it->ready = true;
                it->status = -ESHUTDOWN;
            } else if (it->buffer != nullptr) {
                auto* urb = reinterpret_cast<usbdevfs_urb*>(it->urb->data);
                size_t count =
                    endpoints_->transmit(it->buffer->data, static_cast<size_t>(urb->buffer_length));
                if (count > 0) {
                    it->ready = true;
                    it->actualLength = static_cast<int>(count);
                }
            }
        }
        if (it->ready) {
            chosen = it;
        }
    }
    if (chosen == pending_.end()) {
        umockdev_ioctl_client_complete(client, -1, unplugged_ ? ENODEV : EAGAIN);
        return;
    }
    auto* urb = reinterpret_cast<usbdevfs_urb*>(chosen->urb->data);
    urb->status = chosen->status;
    urb->actual_length = chosen->actualLength;
    UMockdevIoctlData* pointer = resolve(arg, 0, sizeof(void*));
    umockdev_ioctl_data_set_ptr(pointer, 0, chosen->urb);
    umockdev_ioctl_data_unref(pointer);
    PendingUrb done = *chosen;
    pending_.erase(chosen);
    umockdev_ioctl_client_complete(client, 0, 0);
    release(done);
}

void EmulatedAccessoryDevice::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    unsigned long address = 0;
    std::memcpy(&address, arg->data, sizeof(address));
    for (PendingUrb& pending : pending_) {
        if (pending.urb->client_addr == address && !pending.ready) {
            pending.ready = true;
            pending.status = -ENOENT;
            pending.actualLength = 0;
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

void EmulatedAccessoryDevice::release(PendingUrb& pending) {
    if (pending.buffer != nullptr) {
        umockdev_ioctl_data_unref(pending.buffer);
        pending.buffer = nullptr;
    }
    if (pending.urb != nullptr) {
        umockdev_ioctl_data_unref(pending.urb);
        pending.urb = nullptr;
    }
}
