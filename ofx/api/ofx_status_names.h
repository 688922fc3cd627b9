#pragma once
// Not part of the published API: the name of each status as the published header
// spells it, for the log lines and messages of both sides of the API, the plug-in's
// support layer and our hosts.

#include "ofxCore.h"

#ifdef __cplusplus
inline const char* ofxStatusName(OfxStatus status) {
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
#endif
