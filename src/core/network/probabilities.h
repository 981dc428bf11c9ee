#pragma once

#include "core/base/result.h"
#include "core/ept/cpt_computation.h"

#include <QStringList>

#include <span>

namespace vadazaz {

// Decimals of the probabilities written into network files: 1 to 15, 6 unless asked otherwise.
inline constexpr int minNetworkDecimals = 1;
inline constexpr int maxNetworkDecimals = 15;
inline constexpr int defaultNetworkDecimals = 6;

// A distribution's fractions (each in 0..1, together 1 up to rounding) written with "." and the
// given number of decimals, so that the written decimals sum to exactly 1: each fraction is cut to
// the decimals, and the units still missing go one each to the fractions that lost the most
// (largest remainder), ties to the lower state. Never "-0".
QStringList roundedDistribution(std::span<const double> fractions, int decimals);

// The refusal of a CPT that holds a probability below 0 or above 1, naming its first such row as
// the out-of-range warning does; or nothing.
Result<void> checkExportable(const Cpt &cpt);

} // namespace vadazaz
