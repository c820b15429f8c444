#pragma once
// Whether this build runs under AddressSanitizer or ThreadSanitizer: their shadow memory (and
// AddressSanitizer's quarantine) make a program's resident memory meaningless as a measure, so
// memory bounds are not checked there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool SanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool SanitizedBuild = true;
#else
inline constexpr bool SanitizedBuild = false;
#endif
#else
inline constexpr bool SanitizedBuild = false;
#endif

// Whether this build runs under ThreadSanitizer, which makes a long-running program many times
// slower still.
#if defined(__SANITIZE_THREAD__)
inline constexpr bool ThreadSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool ThreadSanitizedBuild = true;
#else
inline constexpr bool ThreadSanitizedBuild = false;
#endif
#else
inline constexpr bool ThreadSanitizedBuild = false;
#endif
