// The sanitized build must catch a float that does not fit the integer it is
// cast to: layout geometry and packet floats become pixel and count integers.
#include <gtest/gtest.h>

#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define QOR_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QOR_SANITIZED 1
#endif
#endif

namespace {

[[maybe_unused]] int32_t CastOutOfRange() {
    volatile float huge = 3e10f;
    return static_cast<int32_t>(huge);
}

}  // namespace

TEST(SanitizedBuild, FloatCastOverflowStopsTheProgram) {
#ifndef QOR_SANITIZED
    GTEST_SKIP() << "not a sanitized build";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(CastOutOfRange(), "outside the range of representable values");
#endif
}
