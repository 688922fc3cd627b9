#pragma once

// The suite tables this host hands out through fetchSuite.

struct OfxPropertySuiteV1;
struct OfxParameterSuiteV1;
struct OfxImageEffectSuiteV1;
struct OfxMultiThreadSuiteV1;
struct OfxMemorySuiteV1;
struct OfxMessageSuiteV1;
struct OfxProgressSuiteV1;
struct OfxTimeLineSuiteV1;
struct OfxInteractSuiteV1;

namespace tonemill::host::suites {

const OfxPropertySuiteV1& propertySuite();
const OfxParameterSuiteV1& parameterSuite();
const OfxImageEffectSuiteV1& imageEffectSuite();
const OfxMultiThreadSuiteV1& multiThreadSuite();
const OfxMemorySuiteV1& memorySuite();
const OfxMessageSuiteV1& messageSuite();
const OfxProgressSuiteV1& progressSuite();
const OfxTimeLineSuiteV1& timeLineSuite();
const OfxInteractSuiteV1& interactSuite();

}  // namespace tonemill::host::suites
