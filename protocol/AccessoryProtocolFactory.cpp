#include "protocol/AccessoryProtocolFactory.h"

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"

namespace {

template <typename Protocol>
std::unique_ptr<AccessoryProtocol> make() {
    return std::make_unique<Protocol>();
}

struct Maker {
    uint8_t generationCode;
    std::unique_ptr<AccessoryProtocol> (*create)();
};

const Maker kMakers[] = {
    {generation_code::kTarno, make<AccessoryProtocolTarno>},
    {generation_code::kTarno2, make<AccessoryProtocolTarno2>},
    {generation_code::kTarnoDuo, make<AccessoryProtocolTarno25>},
};

}  // namespace

std::unique_ptr<AccessoryProtocol> createAccessoryProtocol(uint8_t generationCode) {
    for (const Maker& maker : kMakers) {
        if (maker.generationCode == generationCode)
            return maker.create();
    }
    return nullptr;
}
