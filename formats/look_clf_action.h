#pragma once

// The private action through which a host has the effect write its look as a
// CLF file: its name and the properties of its in- and out-arguments.

namespace ChromvaleBeta2 {

inline constexpr const char* kWriteLookClfAction = "com.velmora.tonemill.writeLookClf";

// In: kOfxPropTime, the target file, the process list's name and any number
// of description lines (the look's settings as the host has them).
inline constexpr const char* kClfPropPath = "TonemillPropClfPath";
inline constexpr const char* kClfPropName = "TonemillPropClfName";
inline constexpr const char* kClfPropDescription = "TonemillPropClfDescription";

// Out: one line per step the file cannot reproduce exactly, the option text
// of the look's output profile ("" without one), and on failure what went
// wrong (the action then fails).
inline constexpr const char* kClfPropInexact = "TonemillPropClfInexact";
inline constexpr const char* kClfPropOutputProfile = "TonemillPropClfOutputProfile";
inline constexpr const char* kClfPropError = "TonemillPropClfError";

}  // namespace ChromvaleBeta2
