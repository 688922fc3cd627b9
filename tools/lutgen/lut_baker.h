#pragma once

#include "tools/lutgen/lattice.h"
#include "tools/lutgen/recipe_book.h"

namespace tonemill::lutgen {

// Computes the table of one archive entry from its recipe: the model named by
// the "model" key, on the identity lattice of the entry's kind (1D for
// "2-CURVES/", 3D elsewhere). Throws std::runtime_error naming the entry on a
// bad recipe.
Lattice bakeEntry(const Recipe& recipe);

bool isCurveEntry(const std::string& entryName);

// The colour transform of an entry's recipe, for any points (tests measure
// a table against the transform it samples, or against its inverse).
LatticeTransform transformFor(const Recipe& recipe);

}  // namespace tonemill::lutgen
