// tonemill-pack: builds the plug-in's LUT archive (data.bin) from a folder.
#include <cstring>
#include <exception>
#include <iostream>

#include "tools/pack/archive_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: tonemill-pack <folder> <out data.bin>\n"
    "\n"
    "Packs every regular file below <folder> into the scrambled archive the\n"
    "Tonemill plug-in reads. Each entry is named by the file's path relative to\n"
    "<folder>, with \"/\" between the parts (for example \"1-IDT/ARRI LogC3.cube\").\n"
    "Names must be shorter than 256 bytes and the archive smaller than 2 GiB.\n"
    "Entries are stored in byte-wise name order and no time stamps are kept, so\n"
    "the same folder always gives the same bytes. The output appears only once\n"
    "complete; on failure an earlier file at <out data.bin> is left as it was.\n"
    "\n"
    "Exit status: 0 when written, 1 when packing failed, 2 for a wrong command line.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        ChromvaleBeta2::writeArchive(ChromvaleBeta2::collectFolder(argv[1]), argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "tonemill-pack: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
