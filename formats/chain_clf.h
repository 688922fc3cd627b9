#pragma once

// The colour chain of one set of settings as CLF operators, stage by stage:
// tables as they are, the corrections as matrices, clamps and exponents.

#include <string>
#include <vector>

#include "formats/clf_writer.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {

struct ChainAsClf {
    std::vector<ClfOperator> operators;
    // One line for each step the operators cannot reproduce exactly, saying
    // which colours differ and what was written instead.
    std::vector<std::string> inexact;
};

// The chain without test views, for any colour in [0, 1]. A stage whose table
// blends with its input is written as one table holding the blend, widened
// beyond [0, 1] where earlier steps can take colours there, so that the blend
// keeps its straight-line course outside the lattice as the chain's does.
ChainAsClf chainAsClf(const ChainSettings& settings);

}  // namespace ChromvaleBeta2
