#pragma once

#include "pipeline/ConversionSettings.h"

namespace zev {

// Settings for a conversion of source with the tools staged in the build
// tree: 25 frames a second, 3100 kbit/s unless the output asks for a CRF.
class StagedConversion {
public:
    static ConversionSettings settings(const QString& source, const OutputOptions& output = {},
                                       bool express = true);
};

} // namespace zev
