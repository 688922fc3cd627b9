// Opens arbitrary bytes as a LUT archive and extracts every entry it lists,
// plus one name it cannot list. The archive reads through a file descriptor,
// so each input goes through a scratch file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/lut_archive.h"
#include "tests/fuzz/scratch_file.h"
#include "tests/fuzz/silence_stdout.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ChromvaleBeta2::fuzzing::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const ChromvaleBeta2::fuzzing::ScratchFile scratch("tonemill-fuzz-archive");
    scratch.write(data, size);
    ChromvaleBeta2::LutArchive archive;
    if (!archive.open(scratch.path())) {
        return 0;
    }
    std::vector<std::string> names = archive.entryNames();
    names.push_back("not an entry");
    for (const std::string& name : names) {
        std::vector<unsigned char> body;
        if (archive.extract(name, body) && (body.empty() || body.back() != 0)) {
            std::abort();
        }
    }
    return 0;
}
