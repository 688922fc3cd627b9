// Feeds arbitrary text to the .cube parser. Beyond the sanitizers' checks, a
// successful parse must leave exactly the table its size promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/cube_reader.h"
#include "tests/fuzz/silence_stdout.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ChromvaleBeta2::fuzzing::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using ChromvaleBeta2::LutTable;
    const std::string text(reinterpret_cast<const char*>(data), size);
    LutTable table;
    if (ChromvaleBeta2::parseCube(table, text.c_str())) {
        const std::size_t n = table.m_dims;
        const std::size_t entries = table.kind == LutTable::kKind3D ? n * n * n : n;
        if (n == 0 || table.data.size() != entries * 3) {
            std::abort();
        }
    } else if (table.m_dims != 0 || !table.data.empty()) {
        std::abort();
    }
    return 0;
}
