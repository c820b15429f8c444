#pragma once
// What the sanitizers of a checked build change about the measures a test may take.
#if defined(__has_feature)
#define REGISCRIBE_HAS_FEATURE(feature) __has_feature(feature)
#else
#define REGISCRIBE_HAS_FEATURE(feature) 0
#endif

// Whether this build runs under ThreadSanitizer, which makes a long-running program many times
// slower still.
#if defined(__SANITIZE_THREAD__) || REGISCRIBE_HAS_FEATURE(thread_sanitizer)
inline constexpr bool ThreadSanitizedBuild = true;
#else
inline constexpr bool ThreadSanitizedBuild = false;
#endif

// Whether this build runs under AddressSanitizer or ThreadSanitizer: their shadow memory (and
// AddressSanitizer's quarantine) make a program's resident memory meaningless as a measure, so
// memory bounds are not checked there.
#if defined(__SANITIZE_ADDRESS__) || REGISCRIBE_HAS_FEATURE(address_sanitizer)
inline constexpr bool SanitizedBuild = true;
#else
inline constexpr bool SanitizedBuild = ThreadSanitizedBuild;
#endif
