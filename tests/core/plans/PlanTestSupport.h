#pragma once

#include "core/plans/LocalTime.h"
#include "core/settings/ProfileFile.h"
#include "tests/core/settings/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace omnar::plans::test {

// Berlin's rule written out, so the tests need no time-zone database.
inline constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

// Sets TZ for one test and puts the old value back afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};

inline std::int64_t local(int y, int mo, int d, int h, int mi, int s)
{
    const auto t = MakeLocalTime(y, mo, d, h, mi, s);
    EXPECT_TRUE(t.has_value());
    return t.value_or(0);
}

inline std::int64_t utc(int y, int mo, int d, int h, int mi, int s)
{
    return civilSeconds({y, mo, d}, {h, mi, s});
}

// A profile file in a fresh folder, in Berlin's zone.
struct PlanFileFixture : ::testing::Test {
    ScopedTimeZone zone{kBerlin};
    settings::test::TempDir dir;
    std::string path = dir.file("Planinfo.ini");
    settings::ProfileFile file{path};

    void writeText(const std::string& text) { settings::test::writeBytes(path, text); }
    std::string readText() const { return settings::test::readBytes(path); }
};

} // namespace omnar::plans::test
