#include <gtest/gtest.h>

#include <set>

#include "app/BrandTable.h"
#include "app/StartupRules.h"
#include "app/TextRules.h"
#include "tests/host/InstallerFixture.h"

namespace {

constexpr int64_t MB = 1048576;

struct DiskCase {
    const char* what;
    std::optional<fake::System::Disk> disk;
    int64_t used, free, total;
    const char* drive;
};

void PrintTo(const DiskCase& c, std::ostream* os) { *os << c.what; }

class DiskSpaceTest : public testing::TestWithParam<DiskCase> {};

TEST_P(DiskSpaceTest, GivesWholeMegabytesAndTheDrive) {
    fake::Journal journal;
    fake::System system(journal);
    system.disk = GetParam().disk;
    int64_t used = 0, free = 0, total = 0;
    bool ok = app::DiskSpaceMegabytes(system, "d:", used, free, total);
    EXPECT_EQ(ok, GetParam().disk.has_value());
    EXPECT_EQ(system.queriedDrive, "d:");
    EXPECT_EQ(used, GetParam().used);
    EXPECT_EQ(free, GetParam().free);
    EXPECT_EQ(total, GetParam().total);
    EXPECT_EQ(app::ChooseInstallDrive(free), GetParam().drive);
}

// The caller's free space differs from the volume's on purpose: the drive choice follows the
// volume's total free space; "used" is total minus the caller's free space.
INSTANTIATE_TEST_SUITE_P(Cases, DiskSpaceTest, testing::Values(
    DiskCase{"999.9 MB free", fake::System::Disk{10 * MB, 4000 * MB, 999 * MB + MB * 9 / 10}, 3990, 999, 4000, "C:\\"},
    DiskCase{"exactly 1000 MB", fake::System::Disk{10 * MB, 4000 * MB, 1000 * MB}, 3990, 1000, 4000, "D:\\"},
    DiskCase{"one byte short of 1000 MB", fake::System::Disk{0, 2000 * MB, 1000 * MB - 1}, 2000, 999, 2000, "C:\\"},
    DiskCase{"failed query", std::nullopt, 0, 0, 0, "C:\\"},
    DiskCase{"fractions truncate", fake::System::Disk{MB / 2, 3 * MB / 2, MB + MB / 3}, 1, 1, 1, "C:\\"}));

TEST(BrandTableTest, RowsCodesAndCountsAsShipped) {
    const std::vector<std::pair<int, size_t>> expected = {
        {0, 24}, {1, 11}, {2, 1}, {3, 1}, {4, 24}, {5, 1}, {9, 1}, {7, 1}, {8, 11}, {10, 1},
        {11, 1}, {13, 1}, {14, 1}, {15, 1}, {16, 1}, {17, 1}, {19, 1}, {20, 1}, {21, 1}, {22, 1},
        {23, 1}, {24, 16}, {25, 19}, {28, 19}, {29, 19}, {33, 19}, {34, 20}, {35, 20}, {36, 20}, {38, 20}};
    auto rows = app::BrandTable();
    ASSERT_EQ(rows.size(), expected.size());
    std::set<int> codes;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].code);
        EXPECT_EQ(rows[i].code, expected[i].first);
        EXPECT_TRUE(codes.insert(rows[i].code).second) << "duplicate code";
        std::string folder = rows[i].companyFolder, list = rows[i].productList;
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '\\');
        auto names = app::SplitText(list, '|');
        EXPECT_EQ(names.size(), expected[i].second);
        for (const auto& name : names) EXPECT_FALSE(name.empty());
        EXPECT_NE(list.front(), '|');
        EXPECT_NE(list.back(), '|');
    }
    EXPECT_STREQ(rows[0].companyFolder, "Tovrask软件\\");
    EXPECT_EQ(app::SplitText(rows[0].productList, '|').at(5), "Quorvane");
}

struct IndexCase {
    int32_t index;
    size_t count;
    int code;  // 0: in range
};

class CheckIndexTest : public testing::TestWithParam<IndexCase> {};

TEST_P(CheckIndexTest, BelowOneComesFirstThenTheUpperBound) {
    auto error = app::CheckIndex(GetParam().index, GetParam().count);
    if (GetParam().code == 0) {
        EXPECT_FALSE(error);
        return;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, GetParam().code);
    EXPECT_STREQ(error->message, GetParam().code == 4 ? "数组成员引用下标必须大于等于1" : "数组成员引用下标超出定义范围");
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckIndexTest, testing::Values(
    IndexCase{6, 24, 0}, IndexCase{1, 1, 0}, IndexCase{24, 24, 0},
    IndexCase{6, 1, 1}, IndexCase{25, 24, 1}, IndexCase{1, 0, 1},
    IndexCase{0, 24, 4}, IndexCase{-3, 24, 4}, IndexCase{0, 0, 4},
    IndexCase{INT32_MIN, 5, 4}, IndexCase{INT32_MAX, 5, 1}));

TEST(FatalErrorTextTest, CodeLineOnlyWithACode) {
    EXPECT_EQ(app::FatalErrorText(1, "数组成员引用下标超出定义范围"),
              "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
    EXPECT_EQ(app::FatalErrorText(0, "载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
}

using StartupTest = InstallerFixture;

TEST_F(StartupTest, CreatedHandlerSizesThenPlacesThenProposesOnD) {
    startWithDriveD();
    std::vector<std::string> expected = {"width 250", "height 400", "top 300",
                                         "caption 标签_安装目录 = D:\\Tovrask软件\\Quorvane", "messageLoop"};
    EXPECT_EQ(journal.entries, expected);
    EXPECT_EQ(installer.state().productIndex, 6);
    EXPECT_EQ(installer.state().productName, "Quorvane");
    EXPECT_EQ(installer.state().productNames.size(), 24u);
}

TEST_F(StartupTest, ProposesDriveCWithoutDriveD) {
    start();
    EXPECT_EQ(caption("标签_安装目录"), "C:\\Tovrask软件\\Quorvane");
}

TEST_F(StartupTest, ExitCleanupReleasesTheState) {
    startWithDriveD();
    ASSERT_TRUE(toolkit.exitCleanup);
    toolkit.exitCleanup();
    EXPECT_TRUE(installer.state().productNames.empty());
    EXPECT_TRUE(installer.state().productName.empty());
    EXPECT_TRUE(installer.state().productList.empty());
}

TEST_F(StartupTest, WindowThatCannotBeLoadedIsAFatalErrorWithoutCode) {
    toolkit.loads = false;
    try {
        start();
        FAIL() << "start-up went on";
    } catch (const fake::FatalExit& fatal) {
        EXPECT_EQ(fatal.text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    }
}

TEST_F(StartupTest, ExitControlsEndTheInstallerAndTheBackgroundDoesNothing) {
    startWithDriveD();
    EXPECT_THROW(installer.handle(platform::Handler::OnCloseCrossReleased, {}), fake::Ended);
    EXPECT_THROW(installer.handle(platform::Handler::OnExitButtonClicked, {}), fake::Ended);
    size_t before = journal.entries.size();
    EXPECT_EQ(installer.handle(platform::Handler::OnBackgroundPressed, {1, 2, 3, 0}), std::nullopt);
    EXPECT_EQ(journal.entries.size(), before);
}

}  // namespace
