#include <gtest/gtest.h>

#include "tests/host/InstallerFixture.h"

namespace {

using platform::MessageResult;

const char* const Notice =
    "由于系列正版软件都作了加壳加密处理\r\n如果部分杀毒软件提示警告，请允许即可！\r\n\r\n"
    "软件干净无毒无木马~~支持正版 谢谢大家\r\n"
    "软件安装好后，建议把安装的软件目录加入杀毒软件信任，再运行软件，以免影响部分功能使用。\r\n"
    "可以阅读软件安装说明";

struct ProcessCase {
    std::optional<std::vector<std::string>> processes;
    bool running;
};

void PrintTo(const ProcessCase& c, std::ostream* os) {
    if (!c.processes) *os << "no snapshot";
    else for (const auto& n : *c.processes) *os << n << " ";
}

class RunningCopyTest : public InstallerFixture, public testing::WithParamInterface<ProcessCase> {};

TEST_P(RunningCopyTest, MatchesTheWholeNameWithoutRegardToLatinCase) {
    system.processes = GetParam().processes;
    EXPECT_EQ(installer.IsProcessRunning("Quorvane.exe"), GetParam().running);
}

using List = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(Cases, RunningCopyTest, testing::Values(
    ProcessCase{List{"explorer.exe", "Quorvane.exe"}, true},
    ProcessCase{List{"QUORVANE.EXE"}, true},
    ProcessCase{List{"quorvane.exe"}, true},
    ProcessCase{List{"Quorvane.exe.bak"}, false},
    ProcessCase{List{"Quorvane.ex"}, false},
    ProcessCase{List{"xQuorvane.exe"}, false},
    ProcessCase{List{}, false},
    ProcessCase{std::nullopt, false}));

using InstallCommandTest = InstallerFixture;

TEST_F(InstallCommandTest, RunningCopyIsRefusedWithItsMessageAndNothingElse) {
    startWithDriveD();
    system.processes = List{"QUORVANE.EXE"};
    installer.OnInstallClicked();
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, "请先关闭原来的软件再开始安装，否则无法安装！");
    EXPECT_EQ(system.boxes[0].flags, 0u);
    EXPECT_EQ(system.boxes[0].title, "Quorvane<没有关闭>");
    EXPECT_TRUE(system.threads.empty());
    EXPECT_TRUE(system.files.empty());
}

TEST_F(InstallCommandTest, NoticeWithDefaultTitleComesBeforeTheWorker) {
    startWithDriveD();
    installer.OnInstallClicked();
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, Notice);
    EXPECT_EQ(system.boxes[0].flags, 0u);
    EXPECT_EQ(system.boxes[0].title, "") << "the platform gives an untitled box its default title";
    EXPECT_LT(journalIndex("messageBox "), journalIndex("startThread"));
    EXPECT_EQ(system.threads.size(), 1u);
}

TEST_F(InstallCommandTest, ClickDuringAnInstallationStartsNoSecondWorker) {
    startWithDriveD();
    installer.OnInstallClicked();
    installer.OnInstallClicked();
    EXPECT_EQ(system.threads.size(), 1u);
    EXPECT_EQ(system.boxes.size(), 1u);
}

TEST_F(InstallCommandTest, AThreadThatCannotStartLetsTheUserClickAgain) {
    startWithDriveD();
    system.threadsStart = false;
    installer.OnInstallClicked();
    EXPECT_FALSE(installer.installing());
    system.threadsStart = true;
    installer.OnInstallClicked();
    EXPECT_EQ(system.threads.size(), 1u);
}

using WorkerTest = InstallerFixture;

TEST_F(WorkerTest, LogLinesProgressBarAndExtractionInOrder) {
    startWithDriveD();
    script.events = {0, 50};
    script.result = 1;
    system.boxAnswer = MessageResult::Ok;
    installAndRunWorker();
    size_t com = journalIndex("comInitialize");
    size_t log1 = journalIndex("caption 标签_日志 = 1.释放压缩包..");
    size_t write = journalIndex("writeFile C:\\Temp\\tool.zip");
    size_t bar = journalIndex("visible 进度条1 = yes");
    size_t log2 = journalIndex("caption 标签_日志 = 2.开始解压..");
    EXPECT_LT(com, log1);
    EXPECT_LT(log1, write);
    EXPECT_LT(write, bar);
    EXPECT_LT(bar, log2);
    EXPECT_EQ(extractedArchive, "C:\\Temp\\tool.zip");
    EXPECT_EQ(extractedTarget, "D:\\Tovrask软件\\Quorvane");
    EXPECT_EQ(system.files.count("C:\\Temp\\tool.zip"), 0u) << "the archive copy stayed behind";
}

TEST_F(WorkerTest, ArchiveCopyFallsBackToTheInstallDrivesRoot) {
    startWithDriveD();
    system.unwritable = {"C:\\Temp\\tool.zip"};
    installAndRunWorker();
    EXPECT_EQ(extractedArchive, "D:\\tool.zip");
    EXPECT_TRUE(ended);
}

TEST_F(WorkerTest, NoTempDirectoryAlsoFallsBack) {
    startWithDriveD();
    system.temp = "";
    installAndRunWorker();
    EXPECT_EQ(extractedArchive, "D:\\tool.zip");
}

TEST_F(WorkerTest, BothWritesFailingEndsAfterTheMessageWithoutExtracting) {
    startWithDriveD();
    system.unwritable = {"C:\\Temp\\tool.zip", "D:\\tool.zip"};
    installAndRunWorker();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(extractedArchive.empty());
    ASSERT_EQ(system.boxes.size(), 2u);
    EXPECT_EQ(system.boxes[1].text, "写入失败！Windows7请以管理员身份运行，建议关闭杀毒，再重试\r\n《确定》后将关闭本安装程序");
    EXPECT_EQ(system.boxes[1].title, "");
    EXPECT_FALSE(toolkit.window().visible("进度条1"));
    EXPECT_EQ(caption("标签_日志"), "1.释放压缩包..");
}

TEST_F(WorkerTest, WritesThePayloadWhole) {
    startWithDriveD();
    installAndRunWorker();
    // The copy is deleted at completion; the journal shows the one write that succeeded.
    EXPECT_TRUE(journalHas("writeFile C:\\Temp\\tool.zip"));
    EXPECT_FALSE(journalHas("writeFile D:\\tool.zip"));
}

struct ProgressCase {
    int maximum;
    int value;
    std::vector<int> positions;
};

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.value << " of " << c.maximum; }

class ProgressTest : public InstallerFixture, public testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressTest, SetsTheValueThenTheScaledValue) {
    startWithDriveD();
    toolkit.window().maximum = GetParam().maximum;
    installer.OnExtractProgress(GetParam().value);
    EXPECT_EQ(toolkit.window().positions, GetParam().positions);
    EXPECT_FALSE(journalHas("normalPicture 图形按钮1")) << "only 100 completes";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressTest, testing::Values(
    ProgressCase{100, 37, {37, 37}}, ProgressCase{200, 37, {37, 74}}, ProgressCase{100, 99, {99, 99}},
    ProgressCase{3, 50, {50, 1}}, ProgressCase{100, -5, {-5, -5}}, ProgressCase{100, 101, {101, 101}},
    ProgressCase{33, 7, {7, 2}}));

using CompletionTest = InstallerFixture;

TEST_F(CompletionTest, CompletesInOrderAndStartsTheProductOnYes) {
    startWithDriveD();
    system.boxAnswer = MessageResult::Yes;
    installAndRunWorker();
    ASSERT_TRUE(ended);
    std::vector<std::string> tail(journal.entries.end() - 11, journal.entries.end());
    std::vector<std::string> expected = {
        "normalPicture 图形按钮1",
        "hotPicture 图形按钮1",
        "createShortcut C:\\Users\\me\\Desktop\\Quorvane -> D:\\Tovrask软件\\Quorvane\\Quorvane.exe",
        "caption 标签_日志 = 3.创建快捷方式..成功",
        "messageBox 温馨提示：",
        "runProgram D:\\Tovrask软件\\Quorvane\\Quorvane.exe",
        "visible 进度条1 = no",
        "deleteFile D:\\tool.zip",
        "deleteFile C:\\Temp\\tool.zip",
        "endInstaller",
        "comUninitialize",  // the double's end unwinds the worker; the real one never returns
    };
    EXPECT_EQ(tail, expected);
    const auto& question = system.boxes.back();
    EXPECT_EQ(question.text, "安装完成！\r\n点<是>将启动软件\r\n点<否>不启动,可以在桌面启动软件");
    EXPECT_EQ(question.flags, 68u);
    EXPECT_EQ(toolkit.window().normalPictures["图形按钮1"], completionPicture.data());
    EXPECT_EQ(toolkit.window().hotPictures["图形按钮1"], completionPicture.data());
    EXPECT_EQ(toolkit.window().raised, (std::vector<int>{0, 11, 22, 33, 44, 55, 66, 77, 88, 100}));
}

TEST_F(CompletionTest, NoStartsNothingAndAFailedShortcutIsLogged) {
    startWithDriveD();
    system.boxAnswer = MessageResult::No;
    system.shortcutWorks = false;
    installAndRunWorker();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(journalHas("caption 标签_日志 = 3.创建快捷方式..失败"));
    EXPECT_TRUE(journalHas("messageBox 温馨提示："));
    EXPECT_FALSE(journalHas("runProgram D:\\Tovrask软件\\Quorvane\\Quorvane.exe"));
}

TEST_F(CompletionTest, NoDesktopDirectoryIsAFailedShortcut) {
    startWithDriveD();
    system.desktop = "";
    installAndRunWorker();
    EXPECT_TRUE(journalHas("caption 标签_日志 = 3.创建快捷方式..失败"));
    EXPECT_EQ(std::count_if(journal.entries.begin(), journal.entries.end(),
                            [](const std::string& e) { return e.rfind("createShortcut", 0) == 0; }),
              0);
}

struct FailedCase {
    const char* what;
    std::vector<int32_t> events;
    int32_t result;
};

void PrintTo(const FailedCase& c, std::ostream* os) { *os << c.what; }

class FailedExtractionTest : public InstallerFixture, public testing::WithParamInterface<FailedCase> {};

TEST_P(FailedExtractionTest, IsReportedAndNeverCompleted) {
    startWithDriveD();
    script.events = GetParam().events;
    script.result = GetParam().result;
    installAndRunWorker();
    EXPECT_FALSE(ended);
    EXPECT_FALSE(journalHas("normalPicture 图形按钮1"));
    EXPECT_FALSE(journalHas("messageBox 温馨提示："));
    for (const auto& e : journal.entries) EXPECT_NE(e.rfind("createShortcut", 0), 0u) << e;
    ASSERT_EQ(system.boxes.size(), 2u);
    EXPECT_NE(system.boxes[1].text.find("安装失败"), std::string::npos);
    EXPECT_TRUE(system.files.empty()) << "an archive copy stayed behind";
    EXPECT_TRUE(journalHas("deleteFile D:\\tool.zip"));
    EXPECT_TRUE(journalHas("deleteFile C:\\Temp\\tool.zip"));
    EXPECT_FALSE(toolkit.window().visible("进度条1"));
    EXPECT_TRUE(journalHas("comUninitialize"));
    // The window stays usable: a new click starts a new attempt.
    EXPECT_FALSE(installer.installing());
    installer.OnInstallClicked();
    EXPECT_EQ(system.threads.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedExtractionTest, testing::Values(
    FailedCase{"an entry failed", {0, 11, 100}, 0},
    FailedCase{"no readable entry", {0}, 1},
    FailedCase{"archive missing", {0}, -1},
    FailedCase{"target cannot be created", {0}, 0}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(FailedExtractionTest, ComponentWindowGoneMeansNoCompletion) {
    startWithDriveD();
    toolkit.window().componentAlive = false;
    installAndRunWorker();
    EXPECT_FALSE(ended);
    EXPECT_FALSE(journalHas("normalPicture 图形按钮1"));
}

}  // namespace
