#pragma once

#include <array>

namespace tonemill::lookdata_test {

using Xyz = std::array<double, 3>;
using Lab = std::array<double, 3>;

// CIE L*a*b* of tristimulus values relative to a white whose Y is 1.
Lab labFromXyz(const Xyz& xyz, const Xyz& white);

// The CIEDE2000 colour difference (CIE 142-2001), the measure graders and
// colour scientists use to say whether two colours look alike: about 1 is
// just noticeable side by side.
double deltaE2000(const Lab& a, const Lab& b);

}  // namespace tonemill::lookdata_test
