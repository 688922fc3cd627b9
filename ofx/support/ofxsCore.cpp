// The declarations of ofxsCore.h: status names and the one place where a suite status becomes an exception.

#include <new>

#include "ofx/support/ofxsCore.h"

namespace OFX {

const char* mapStatusToString(OfxStatus status) {
  switch (status) {
    case kOfxStatOK: return "kOfxStatOK";
    case kOfxStatFailed: return "kOfxStatFailed";
    case kOfxStatErrFatal: return "kOfxStatErrFatal";
    case kOfxStatErrUnknown: return "kOfxStatErrUnknown";
    case kOfxStatErrMissingHostFeature: return "kOfxStatErrMissingHostFeature";
    case kOfxStatErrUnsupported: return "kOfxStatErrUnsupported";
    case kOfxStatErrExists: return "kOfxStatErrExists";
    case kOfxStatErrFormat: return "kOfxStatErrFormat";
    case kOfxStatErrMemory: return "kOfxStatErrMemory";
    case kOfxStatErrBadHandle: return "kOfxStatErrBadHandle";
    case kOfxStatErrBadIndex: return "kOfxStatErrBadIndex";
    case kOfxStatErrValue: return "kOfxStatErrValue";
    case kOfxStatReplyYes: return "kOfxStatReplyYes";
    case kOfxStatReplyNo: return "kOfxStatReplyNo";
    case kOfxStatReplyDefault: return "kOfxStatReplyDefault";
    case kOfxStatErrImageFormat: return "kOfxStatErrImageFormat";
    default: return "UNKNOWN STATUS CODE";
  }
}

void throwSuiteStatusException(OfxStatus status) {
  switch (status) {
    case kOfxStatOK:
    case kOfxStatReplyYes:
    case kOfxStatReplyNo:
    case kOfxStatReplyDefault:
      return;
    case kOfxStatErrMemory:
      throw std::bad_alloc();
    default:
      throw Exception::Suite(status);
  }
}

const char* Exception::Suite::what() const noexcept { return mapStatusToString(_status); }

}  // namespace OFX
