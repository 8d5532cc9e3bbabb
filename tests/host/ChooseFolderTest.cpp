#include <gtest/gtest.h>

#include "app/ChooseFolder.h"
#include "tests/host/InstallerFixture.h"

namespace {

using platform::FolderBrowseResult;

struct BrowseCase {
    const char* what;
    FolderBrowseResult browsed;
    const char* expected;
};

void PrintTo(const BrowseCase& c, std::ostream* os) { *os << c.what; }

class FolderFromBrowseTest : public testing::TestWithParam<BrowseCase> {};

TEST_P(FolderFromBrowseTest, AppliesTheResultRules) {
    EXPECT_EQ(app::FolderFromBrowse(GetParam().browsed), GetParam().expected);
}

const std::string Spaces(260, ' ');

INSTANTIATE_TEST_SUITE_P(Cases, FolderFromBrowseTest, testing::Values(
    BrowseCase{"cancel", {false, Spaces, std::nullopt}, ""},
    BrowseCase{"question_mark_with_item", {true, "Some?Name", std::string("C:\\Apps")}, ""},
    BrowseCase{"question_mark_without_item", {false, "a?b", std::nullopt}, ""},
    BrowseCase{"drive_root", {true, "Local Disk (E:)", std::string("E:\\")}, "E:"},
    BrowseCase{"program_files", {true, "Program Files", std::string("C:\\Program Files")}, "C:\\Program Files"},
    BrowseCase{"no_file_system_path", {true, "Network", std::nullopt}, ""},
    BrowseCase{"name_only_trimmed", {false, " \xA1\xA1server\\share \xA1\xA1  ", std::nullopt}, "\\\\server\\share"},
    BrowseCase{"gbk_name_kept", {true, "软件", std::string("D:\\软件")}, "D:\\软件"}),
    [](const auto& info) { return std::string(info.param.what); });

using ChooserTest = InstallerFixture;

TEST_F(ChooserTest, ChosenFolderPlusProductNameReplacesTheWholeCaption) {
    startWithDriveD();
    system.browseAnswers = {{true, "Apps", std::string("E:\\Apps")}, {true, "E:", std::string("E:\\")}};
    installer.handle(platform::Handler::ChooseInstallLocation, {3, 4, 0, 0});
    EXPECT_TRUE(journalHas("browseForFolder 请选择安装位置"));
    EXPECT_EQ(caption("标签_安装目录"), "E:\\Apps\\Quorvane");
    installer.OnInstallDirPressed();
    EXPECT_EQ(caption("标签_安装目录"), "E:\\Quorvane");
}

TEST_F(ChooserTest, CancelLeavesTheCaption) {
    startWithDriveD();
    system.browseAnswers = {{false, Spaces, std::nullopt}};
    installer.OnInstallDirPressed();
    EXPECT_EQ(caption("标签_安装目录"), "D:\\Tovrask软件\\Quorvane");
}

TEST_F(ChooserTest, BrowserStaysClosedWhileAnInstallationRuns) {
    startWithDriveD();
    installer.OnInstallClicked();  // worker started, not yet finished
    system.browseAnswers = {{true, "Apps", std::string("E:\\Apps")}};
    installer.OnInstallDirPressed();
    EXPECT_FALSE(journalHas("browseForFolder 请选择安装位置"));
    EXPECT_EQ(caption("标签_安装目录"), "D:\\Tovrask软件\\Quorvane");
}

}  // namespace
