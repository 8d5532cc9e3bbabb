// The extraction as the installer runs it: the component's result, except that a walk which
// left entries out behind an unreadable one is a failure.
#include <gtest/gtest.h>

#include "app/Installer.h"
#include "tests/host/FileSystemFake.h"
#include "tests/host/ZipTestArchive.h"

namespace {

struct ArchiveCase {
    const char* what;
    int damagedEntry;  // -1: none; else its method is made unreadable
    int32_t expected;
};

void PrintTo(const ArchiveCase& c, std::ostream* os) { *os << c.what; }

class ArchiveExtractionTest : public testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchiveExtractionTest, CountsEntriesLeftOutAsAFailure) {
    fake::FileSystemFake fs;
    auto zip = ziptest::MakeZip(ziptest::NumberedFiles(4));
    if (GetParam().damagedEntry >= 0) ziptest::Patch(zip, GetParam().damagedEntry, ziptest::Field::Method, 12);
    fs.addFile("C:\\a.zip", std::string(zip.begin(), zip.end()));
    std::vector<int32_t> events;
    auto extraction = app::ArchiveExtraction(fs);
    int32_t result = extraction("C:\\a.zip", "C:\\out", [&](int32_t p) -> std::optional<bool> {
        events.push_back(p);
        return std::nullopt;
    });
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(events.back(), GetParam().damagedEntry == 0 ? 0 : 100);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArchiveExtractionTest, testing::Values(
    ArchiveCase{"whole archive", -1, 1},
    ArchiveCase{"entry 2 unreadable", 2, 0},
    ArchiveCase{"last entry unreadable", 3, 0},
    ArchiveCase{"first entry unreadable", 0, 0}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

}  // namespace
