#include "link/UsbBackend.h"

const char* usbResultText(int result) {
    switch (result) {
        case kUsbSuccess:
            return "success";
        case kUsbErrorIo:
            return "input/output error";
        case kUsbErrorInvalidParam:
            return "invalid parameter";
        case kUsbErrorAccess:
            return "permission denied";
        case kUsbErrorNoDevice:
            return "no such device";
        case kUsbErrorNotFound:
            return "not found";
        case kUsbErrorBusy:
            return "device busy";
        case kUsbErrorTimeout:
            return "timed out";
        case kUsbErrorOverflow:
            return "overflow";
        case kUsbErrorPipe:
            return "pipe error";
        case kUsbErrorInterrupted:
            return "interrupted";
        case kUsbErrorNoMemory:
            return "out of memory";
        case kUsbErrorNotSupported:
            return "not supported";
        default:
            return "other error";
    }
}
