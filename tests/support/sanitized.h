#pragma once
// Whether this build runs under AddressSanitizer: its shadow memory and quarantine make a
// program's resident memory meaningless as a measure, so memory bounds are not checked there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool SanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool SanitizedBuild = true;
#else
inline constexpr bool SanitizedBuild = false;
#endif
#else
inline constexpr bool SanitizedBuild = false;
#endif
