#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ChromvaleBeta2 {

// Writes an n x n x n .cube file: "LUT_3D_SIZE n", an empty line, then one
// "R G B" line per point in the order of `data` (n^3 * 3 floats), each number
// in fixed notation with ten decimals. ".cube" is appended unless the path
// already ends with it. The file appears only once complete: it is written
// beside the target under a temporary name and renamed into place, so a
// failure leaves any earlier file untouched. NaN is written as 0 and an
// infinity as the largest float of its sign, so that the reader, which takes
// only digits, reads every file back. On failure a line on standard output
// says why. `data` is released before returning in every case.
bool writeCubeFile(std::string path, std::vector<float> data, uint32_t n);

// The text writeCubeFile writes, handed to `write` in pieces of about 64 KB,
// for callers that put it elsewhere. `data` holds n^3 * 3 floats.
void writeCubeText(const std::vector<float>& data, uint32_t n, const std::function<void(std::string_view)>& write);

}  // namespace ChromvaleBeta2
