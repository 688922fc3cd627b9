// The small service suites: memory, message, progress, time line and interact.
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "host/host.h"
#include "host/suites/guard.h"
#include "host/suites/suites.h"
#include "ofxInteract.h"
#include "ofxMemory.h"
#include "ofxMessage.h"
#include "ofxProgress.h"
#include "ofxTimeLine.h"

namespace tonemill::host::suites {
namespace {

OfxStatus memoryAlloc(void*, size_t bytes, void** data) {
    if (auto status = planned("memoryAlloc")) return *status;
    Host* host = Host::active();
    if (!host || !data) return kOfxStatErrBadHandle;
    const auto& limit = host->faults().allocationLimit;
    if (limit && bytes > *limit) return kOfxStatErrMemory;
    *data = host->memory().allocate(bytes);
    return *data ? kOfxStatOK : kOfxStatErrMemory;
}

OfxStatus memoryFree(void* data) {
    if (auto status = planned("memoryFree")) return *status;
    Host* host = Host::active();
    if (!host) return kOfxStatErrBadHandle;
    return host->memory().free(data) ? kOfxStatOK : kOfxStatErrBadHandle;
}

std::string formatText(const char* format, va_list args) {
    if (!format) return {};
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data(), static_cast<size_t>(length));
}

OfxStatus message(void* handle, const char* type, const char* id, const char* format, ...) {
    if (auto status = planned("message")) return *status;
    Host* host = Host::active();
    if (!host) return kOfxStatErrBadHandle;
    va_list args;
    va_start(args, format);
    OfxStatus status = guarded([&] {
        host->recordMessage(HostMessage{handle, type ? type : "", id ? id : "", formatText(format, args)});
        return type && std::string_view(type) == kOfxMessageQuestion ? host->questionReply : kOfxStatOK;
    });
    va_end(args);
    return status;
}

OfxStatus recordProgress(const char* function, ProgressEvent event) {
    if (auto status = planned(function)) return *status;
    Host* host = Host::active();
    if (!host) return kOfxStatErrBadHandle;
    return guarded([&] {
        host->recordProgress(std::move(event));
        return kOfxStatOK;
    });
}

OfxStatus progressStart(void* instance, const char* label) {
    return recordProgress("progressStart", {ProgressEvent::Kind::Start, instance, label ? label : "", 0.0});
}
OfxStatus progressUpdate(void* instance, double progress) {
    return recordProgress("progressUpdate", {ProgressEvent::Kind::Update, instance, "", progress});
}
OfxStatus progressEnd(void* instance) {
    return recordProgress("progressEnd", {ProgressEvent::Kind::End, instance, "", 1.0});
}

OfxStatus getTime(void*, double* time) {
    if (auto status = planned("getTime")) return *status;
    Host* host = Host::active();
    if (!host || !time) return kOfxStatErrBadHandle;
    *time = host->time();
    return kOfxStatOK;
}

OfxStatus gotoTime(void*, double time) {
    if (auto status = planned("gotoTime")) return *status;
    Host* host = Host::active();
    if (!host) return kOfxStatErrBadHandle;
    host->setTime(time);
    return kOfxStatOK;
}

OfxStatus getTimeBounds(void*, double* first, double* last) {
    if (auto status = planned("getTimeBounds")) return *status;
    Host* host = Host::active();
    if (!host || !first || !last) return kOfxStatErrBadHandle;
    *first = host->timeBounds().min;
    *last = host->timeBounds().max;
    return kOfxStatOK;
}

// This host draws no interacts, so no interact handle is ever valid.
OfxStatus interactSwapBuffers(OfxInteractHandle) {
    return kOfxStatErrBadHandle;
}
OfxStatus interactRedraw(OfxInteractHandle) {
    return kOfxStatErrBadHandle;
}
OfxStatus interactGetPropertySet(OfxInteractHandle, OfxPropertySetHandle*) {
    return kOfxStatErrBadHandle;
}

const OfxMemorySuiteV1 memoryTable = {memoryAlloc, memoryFree};
const OfxMessageSuiteV1 messageTable = {message};
const OfxProgressSuiteV1 progressTable = {progressStart, progressUpdate, progressEnd};
const OfxTimeLineSuiteV1 timeLineTable = {getTime, gotoTime, getTimeBounds};
const OfxInteractSuiteV1 interactTable = {interactSwapBuffers, interactRedraw, interactGetPropertySet};

}  // namespace

const OfxMemorySuiteV1& memorySuite() {
    return memoryTable;
}
const OfxMessageSuiteV1& messageSuite() {
    return messageTable;
}
const OfxProgressSuiteV1& progressSuite() {
    return progressTable;
}
const OfxTimeLineSuiteV1& timeLineSuite() {
    return timeLineTable;
}
const OfxInteractSuiteV1& interactSuite() {
    return interactTable;
}

}  // namespace tonemill::host::suites
