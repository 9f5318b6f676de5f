#pragma once

#include <memory>
#include <string>

#include "menus/NumericRangePickerSource.h"
#include "menus/ValueTablePickerSource.h"

// The rows of the two attenuation pickers.
//   INT. ATTEN: the accessory's steps that the settings command can carry. Its attenuator code
//               holds steps 1 to 6 (anything else means none), so step 7 ("28 dBm") would be
//               shown while the accessory attenuates nothing: it is not offered.
//   EXT. ATTEN: 0 to 60 dB in 1 dB steps.
class AttenuationRanges {
  public:
    static constexpr int kLastSendableStep = 6;
    static constexpr double kExternalMax = 60.0;

    // Steps 0 .. min(6, stepCount - 1), titled with their words; step 0 alone without steps.
    static std::unique_ptr<ValueTablePickerSource> internalRows(int stepCount);
    static std::unique_ptr<NumericRangePickerSource> externalRows();

    // "10.00 dBm"; "--" for NaN.
    static std::string externalText(float decibels);
};
