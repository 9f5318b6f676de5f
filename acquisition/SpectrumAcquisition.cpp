#include "acquisition/SpectrumAcquisition.h"

#include "model/SpectrumSettings.h"

LevelGrid SpectrumAcquisition::levelGrid(const SpectrumSettings& model, int band) {
    const AccessoryDescription& a = model.accessory;
    if (band == kBand24)
        return LevelGrid{a.levelRows24, a.levelMin24, a.levelMax24};
    return LevelGrid{a.levelRows5, a.levelMin5, a.levelMax5};
}

int SpectrumAcquisition::addSweep(SpectrumSettings& model, int band, const float* values,
                                  size_t count) {
    if (band != kBand24 && band != kBand5)
        return 0;
    const bool band24 = band == kBand24;
    BandAcquisition& acquisition = band24 ? band24_ : band5_;
    return acquisition.add(band24 ? model.band24 : model.band5, values, count,
                           levelGrid(model, band), TraceProcessing::settingsFor(model, band24));
}
