#include "tools/lutgen/zone_chart.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tonemill::lutgen {

ZoneChart zoneChartFromRecipe(const Recipe& r) {
    ZoneChart chart;
    chart.firstStop = static_cast<int>(r.number("first_stop"));
    const auto values = r.numbers("colours");
    if (values.size() % 3 != 0 || values.empty())
        throw std::runtime_error("recipe [" + r.entryName() + "]: 'colours' needs R G B triples");
    for (size_t i = 0; i < values.size(); i += 3) {
        for (size_t c = 0; c < 3; ++c)
            if (!(values[i + c] > 0.0 && values[i + c] < 1.0))
                throw std::runtime_error("recipe [" + r.entryName() +
                                         "]: zone colours must lie strictly inside 0 to 1, "
                                         "so the output transform can be inverted");
        chart.displayColours.push_back({values[i], values[i + 1], values[i + 2]});
    }
    return chart;
}

int zoneIndex(const ZoneChart& chart, double stops) {
    const int last = static_cast<int>(chart.displayColours.size()) - 1;
    return std::clamp(static_cast<int>(std::lround(stops)) - chart.firstStop, 0, last);
}

}  // namespace tonemill::lutgen
