#pragma once

#include <iostream>
#include <streambuf>

namespace ChromvaleBeta2::fuzzing {

// The readers report every rejection on standard output; at fuzzing speed that
// would drown the fuzzer's own report, so the lines are dropped unseen.
inline void silenceStdout() {
    struct NullBuffer : std::streambuf {
        int overflow(int c) override { return c; }
    };
    static NullBuffer nullBuffer;
    std::cout.rdbuf(&nullBuffer);
}

}  // namespace ChromvaleBeta2::fuzzing
