#include "model/config/ReferenceTraceImages.h"

#include "model/ByteOrder.h"

std::vector<uint8_t> encodeRecordList(const std::vector<std::vector<float>>& records) {
    size_t size = 0;
    for (const auto& record : records) {
        size += 4 + 4 * record.size();
    }
    std::vector<uint8_t> data(size);
    uint8_t* at = data.data();
    for (const auto& record : records) {
        byte_order::writeU32le(at, static_cast<uint32_t>(record.size()));
        at += 4;
        for (float value : record) {
            byte_order::writeFloatLe(at, value);
            at += 4;
        }
    }
    return data;
}

std::vector<std::vector<float>> decodeRecordList(std::span<const uint8_t> data) {
    std::vector<std::vector<float>> records;
    size_t position = 0;
    while (data.size() - position >= 4) {
        uint32_t count = byte_order::readU32le(data.data() + position);
        position += 4;
        // Compared by division: 4 * count may not fit, and the count is untrusted.
        if (count > (data.size() - position) / 4) {
            break;
        }
        std::vector<float> record(count);
        for (float& value : record) {
            value = byte_order::readFloatLe(data.data() + position);
            position += 4;
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<uint8_t> encodeFloatArray(const std::vector<float>& values) {
    std::vector<uint8_t> data(4 * values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        byte_order::writeFloatLe(data.data() + 4 * i, values[i]);
    }
    return data;
}

std::vector<float> decodeFloatArray(std::span<const uint8_t> data) {
    std::vector<float> values(data.size() / 4);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = byte_order::readFloatLe(data.data() + 4 * i);
    }
    return values;
}
