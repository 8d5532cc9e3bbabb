// What an entry's external attributes and local extra field give its information.
#include <gtest/gtest.h>

#include <string>

#include "payload/DosTime.h"
#include "payload/ZipEntryInfo.h"
#include "ZipTestArchive.h"

namespace {

namespace attr = platform::attr;

struct AttributeCase {
    const char* what;
    uint32_t external;
    uint32_t attributes;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.what; }

class AttributeTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTest, FollowTheDosBitsAndTheUnixMode) {
    EXPECT_EQ(payload::AttributesFromExternal(GetParam().external), GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(External, AttributeTest, testing::Values(
    AttributeCase{"DOS host, nothing set", 0, attr::Normal | attr::ReadOnly},
    AttributeCase{"DOS archive", 0x20, attr::Normal | attr::Archive | attr::ReadOnly},
    AttributeCase{"DOS directory", 0x10, attr::Normal | attr::Directory | attr::ReadOnly},
    AttributeCase{"DOS hidden system read-only archive", 0x27,
                  attr::Normal | attr::ReadOnly | attr::Hidden | attr::System | attr::Archive},
    AttributeCase{"Unix rw-r--r-- file", 0x81A40000, attr::Normal},
    AttributeCase{"Unix r--r--r-- file", 0x81240000, attr::Normal | attr::ReadOnly},
    AttributeCase{"Unix rwxr-xr-x directory with DOS bit", 0x41ED0010, attr::Normal | attr::Directory},
    AttributeCase{"Unix directory type alone", 0x40000000, attr::Normal | attr::Directory | attr::ReadOnly},
    AttributeCase{"Unix writable but DOS read-only", 0x81A40001, attr::Normal | attr::ReadOnly}));

// Times of an entry whose DOS stamp is Dos, after its local extra field is read.
constexpr uint32_t Dos = ziptest::DosDateTime(2021, 6, 15, 12, 34, 56);
constexpr int32_t W = 1000000000, A = 1100000000, C = 1200000000;

struct Times {
    std::optional<int32_t> write, access, creation;  // Unix seconds, or empty: the DOS stamp
};

struct ExtraCase {
    const char* what;
    std::string field;
    Times expected;
};

void PrintTo(const ExtraCase& c, std::ostream* os) { *os << c.what; }

class ExtendedTimestampTest : public testing::TestWithParam<ExtraCase> {};

TEST_P(ExtendedTimestampTest, TakesOnlyValuesInsideTheField) {
    payload::ZipEntryInfo info;
    payload::SetDosTimes(Dos, info);
    const std::string& field = GetParam().field;
    payload::ApplyExtendedTimestamp({reinterpret_cast<const uint8_t*>(field.data()), field.size()}, info);
    const auto dos = *payload::FileTimeFromDos(Dos >> 16, Dos & 0xFFFF);
    auto expect = [&](std::optional<int32_t> seconds) {
        return seconds ? payload::FileTimeFromUnixSeconds(*seconds) : dos;
    };
    EXPECT_EQ(info.writeTime, expect(GetParam().expected.write));
    EXPECT_EQ(info.accessTime, expect(GetParam().expected.access));
    EXPECT_EQ(info.creationTime, expect(GetParam().expected.creation));
}

using ziptest::UtRecord;
// Another record kind, as an NTFS-times record would stand before "UT".
const std::string Other = std::string("\x0A\x00\x04\x00", 4) + "abcd";

INSTANTIATE_TEST_SUITE_P(Fields, ExtendedTimestampTest, testing::Values(
    ExtraCase{"no extra field", "", {}},
    ExtraCase{"all three", UtRecord(7, {W, A, C}), {W, A, C}},
    ExtraCase{"write time only", UtRecord(1, {W}), {W, {}, {}}},
    ExtraCase{"access and creation", UtRecord(6, {A, C}), {{}, A, C}},
    ExtraCase{"flags announce three, record holds one", UtRecord(7, {W}), {W, {}, {}}},
    ExtraCase{"flags announce two, record holds one and a half",
              UtRecord(3, {W, A}, 7).substr(0, 11), {W, {}, {}}},
    ExtraCase{"flags alone", UtRecord(7, {}), {}},
    ExtraCase{"record without data", UtRecord(7, {}, 0).substr(0, 4) + "pad", {}},
    ExtraCase{"record claims more than the field", UtRecord(7, {W, A, C}, 40), {}},
    ExtraCase{"field cut inside the values", UtRecord(7, {W, A, C}).substr(0, 9), {}},
    ExtraCase{"after another record", Other + UtRecord(1, {W}), {W, {}, {}}},
    ExtraCase{"another record overruns the field", std::string("\x0A\x00\xFF\xFF", 4) + "x" + UtRecord(1, {W}), {}},
    ExtraCase{"only the first UT record counts", UtRecord(1, {W}) + UtRecord(7, {C, C, C}), {W, {}, {}}},
    ExtraCase{"negative value is a date before 1970", UtRecord(1, {-1}), {-1, {}, {}}},
    ExtraCase{"the earliest 32-bit value", UtRecord(1, {INT32_MIN}), {INT32_MIN, {}, {}}},
    ExtraCase{"field shorter than five bytes", std::string("UT\x01\x00", 4), {}}));

TEST(DosTimesTest, InvalidDosStampLeavesTheTimesUnset) {
    payload::ZipEntryInfo info;
    payload::SetDosTimes(ziptest::DosDateTime(2000, 13, 1, 0, 0, 0), info);
    EXPECT_EQ(info.writeTime.ticks, 0u);
    EXPECT_EQ(info.accessTime.ticks, 0u);
    EXPECT_EQ(info.creationTime.ticks, 0u);
}

}  // namespace
