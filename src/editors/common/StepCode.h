#pragma once
// Step codes of channel and test frequencies: which raster a frequency lies on. The raster
// that is allowed depends on the model's edition.

#include <cstdint>

namespace rv {

/// Step code of a frequency (4 bits in the records).
enum class StepCode : uint8_t {
    Step5k = 2,     ///< multiple of 5 kHz
    Step6k25 = 3,   ///< multiple of 6.25 kHz
    Step12k5 = 6,   ///< multiple of 12.5 kHz
    Step10k = 7,    ///< multiple of 10 kHz
};

/// Which step rule applies.
enum class StepEdition { Standard, First, Second };

/// Step code of a frequency in 10 Hz units under the given edition's rule; a frequency on
/// none of the allowed rasters is lowered to the raster below (12.5 kHz in the editions,
/// 6.25 kHz otherwise).
StepCode StepOf(uint32_t& units, StepEdition edition);
/// Same, with the edition of the current model (model texts 300 and 310).
StepCode StepOf(uint32_t& units);

}  // namespace rv
