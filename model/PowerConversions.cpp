#include "model/PowerConversions.h"

#include <cmath>

float dbmToMilliwatts(float dbm) {
    if (std::isnan(dbm)) {
        return dbm;
    }
    return std::pow(10.0f, dbm / 10.0f);
}

float milliwattsToDbm(float milliwatts) {
    if (std::isnan(milliwatts)) {
        return milliwatts;
    }
    return 10.0f * std::log10(milliwatts);
}
