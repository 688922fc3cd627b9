#pragma once

// TM_FLATTEN inlines everything a render loop calls into it, so the settings
// and derived constants stay in registers across the row. The portable
// library's Clang otherwise left chain steps out of line; inlined, its full
// look measured a third faster. Not under the sanitizers: their checks,
// inlined everywhere, make one function that takes the compiler tens of
// minutes.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TM_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TM_SANITIZED_BUILD 1
#endif
#endif
#if (defined(__GNUC__) || defined(__clang__)) && !defined(TM_SANITIZED_BUILD)
#define TM_FLATTEN __attribute__((flatten))
#define TM_INLINE __attribute__((always_inline))
#else
#define TM_FLATTEN
#define TM_INLINE
#endif
#if defined(__GNUC__) || defined(__clang__)
#define TM_OUT_OF_LINE __attribute__((noinline))
#else
#define TM_OUT_OF_LINE
#endif
