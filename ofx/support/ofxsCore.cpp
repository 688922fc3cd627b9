// The declarations of ofxsCore.h: status names and the one place where a suite status becomes an exception.

#include <new>

#include "ofx/support/ofxsCore.h"
#include "ofx_status_names.h"

namespace OFX {

const char* mapStatusToString(OfxStatus status) {
    return ofxStatusName(status);
}

void throwSuiteStatusException(OfxStatus status) {
    switch (status) {
        case kOfxStatOK:
        case kOfxStatReplyYes:
        case kOfxStatReplyNo:
        case kOfxStatReplyDefault: return;
        case kOfxStatErrMemory: throw std::bad_alloc();
        default: throw Exception::Suite(status);
    }
}

const char* Exception::Suite::what() const noexcept {
    return mapStatusToString(_status);
}

}  // namespace OFX
