#include "core/network/probabilities.h"

#include "core/ept/ept_validation.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace vadazaz {

QStringList roundedDistribution(std::span<const double> fractions, int decimals)
{
    Q_ASSERT(decimals >= minNetworkDecimals && decimals <= maxNetworkDecimals);
    const auto scale = static_cast<qint64>(std::llround(std::pow(10.0, decimals)));
    const std::size_t n = fractions.size();
    std::vector<qint64> units(n);
    std::vector<double> remainder(n);
    for (std::size_t i = 0; i < n; ++i) {
        // Rounding noise may leave a fraction a hair outside 0..1.
        const double scaled = std::clamp(fractions[i], 0.0, 1.0) * double(scale);
        units[i] = static_cast<qint64>(std::floor(scaled));
        remainder[i] = scaled - double(units[i]);
    }
    qint64 missing = scale - std::accumulate(units.begin(), units.end(), qint64(0));
    // The fractions that lost the most first; stable, so that ties go to the lower state.
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return remainder[a] > remainder[b]; });
    for (std::size_t k = 0; missing > 0 && n > 0; k = (k + 1) % n, --missing)
        ++units[order[k]];
    // A row that summed to a hair more than 1 gives back from the fractions that lost the least.
    for (std::size_t k = n; missing < 0 && n > 0; ++missing) {
        do
            k = (k + n - 1) % n;
        while (units[order[k]] == 0);
        --units[order[k]];
    }

    QStringList texts;
    for (const qint64 u : units)
        texts << QStringLiteral("%1.%2").arg(u / scale).arg(u % scale, decimals, 10,
                                                            QLatin1Char('0'));
    return texts;
}

Result<void> checkExportable(const Cpt &cpt)
{
    if (cpt.firstOutOfRangeRow == 0)
        return {};
    return Message{QStringLiteral("Export CPT"),
                   QStringLiteral("The CPT cannot be written into a network: some of its "
                                  "probabilities are below 0 or above 1, the first in CPT row "
                                  "%1.\rCheck the EPT entries of the child's states 2 and 3.")
                       .arg(cpt.firstOutOfRangeRow)};
}

} // namespace vadazaz
