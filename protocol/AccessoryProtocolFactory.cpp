#include "protocol/AccessoryProtocolFactory.h"

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"

std::unique_ptr<AccessoryProtocol> createAccessoryProtocol(uint8_t generationCode) {
    switch (generationCode) {
        case 2:
            return std::make_unique<AccessoryProtocolTarno>();
        case 6:
            return std::make_unique<AccessoryProtocolTarno2>();
        case 7:
            return std::make_unique<AccessoryProtocolTarno25>();
        default:
            return nullptr;
    }
}
