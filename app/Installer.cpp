#include "app/Installer.h"

#include "app/BrandTable.h"
#include "app/ChooseFolder.h"
#include "app/StartupRules.h"
#include "app/TextRules.h"
#include "payload/ZipExtractor.h"
#include "ui/ControlNames.h"

namespace app {

namespace {

constexpr const char* RunningCopyText = "请先关闭原来的软件再开始安装，否则无法安装！";
constexpr const char* AntivirusNotice =
    "由于系列正版软件都作了加壳加密处理\r\n如果部分杀毒软件提示警告，请允许即可！\r\n\r\n"
    "软件干净无毒无木马~~支持正版 谢谢大家\r\n"
    "软件安装好后，建议把安装的软件目录加入杀毒软件信任，再运行软件，以免影响部分功能使用。\r\n"
    "可以阅读软件安装说明";
constexpr const char* WriteFailedText =
    "写入失败！Windows7请以管理员身份运行，建议关闭杀毒，再重试\r\n《确定》后将关闭本安装程序";
constexpr const char* CompletedQuestion = "安装完成！\r\n点<是>将启动软件\r\n点<否>不启动,可以在桌面启动软件";
constexpr const char* InstallFailedText =
    "安装失败！部分文件未能写入，安装目录中的文件可能不完整。\r\n"
    "请关闭正在使用这些文件的程序后，再点击安装重试。";
constexpr const char* InstallFailedLog = "安装失败，请重试";

// Releases COM for the worker thread however the worker leaves.
class ComScope {
public:
    explicit ComScope(platform::System& system) : system_(system) { system_.comInitialize(); }
    ~ComScope() { system_.comUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    platform::System& system_;
};

}  // namespace

Extraction ArchiveExtraction(platform::FileSystem& files) {
    return [&files](const std::string& archive, const std::string& target, ProgressHandler progress) {
        payload::ZipExtractor extractor(files, std::move(progress));
        int32_t result = extractor.Extract(archive, target);
        return result == 1 && !extractor.ExtractedWholeArchive() ? 0 : result;
    };
}

Installer::Installer(platform::System& system, platform::Toolkit& toolkit, Extraction extraction,
                     platform::Bytes payload, platform::Bytes completionPicture)
    : system_(system),
      toolkit_(toolkit),
      extraction_(std::move(extraction)),
      payload_(payload),
      completionPicture_(completionPicture) {}

std::optional<bool> Installer::handle(platform::Handler handler, const platform::EventArgs& args) {
    using platform::Handler;
    switch (handler) {
        case Handler::WindowCreated: OnWindowCreated(); break;
        case Handler::ChooseInstallLocation: OnInstallDirPressed(); break;
        case Handler::OnInstallClicked: OnInstallClicked(); break;
        case Handler::OnExtractProgress: OnExtractProgress(args.value); break;
        case Handler::OnCloseCrossReleased: OnCloseCrossReleased(); break;
        case Handler::OnExitButtonClicked: OnExitButtonClicked(); break;
        case Handler::OnBackgroundPressed: OnBackgroundPressed(); break;
    }
    return std::nullopt;
}

void Installer::OnWindowCreated() {
    platform::Window& window = toolkit_.window();
    window.setWidth(250);
    window.setHeight(400);
    window.setTop(300);

    int64_t usedMegabytes = 0, freeMegabytes = 0, totalMegabytes = 0;
    DiskSpaceMegabytes(system_, "d:", usedMegabytes, freeMegabytes, totalMegabytes);
    std::string drive = ChooseInstallDrive(freeMegabytes);

    state_.productIndex = ProductIndex;
    std::string companyFolder;
    if (const BrandRow* row = FindBrand(BrandCode)) {
        companyFolder = row->companyFolder;
        state_.productList = row->productList;
    }
    state_.productNames = SplitText(state_.productList, '|');
    state_.productName = productNameAt(state_.productIndex);
    window.setCaption(ui::InstallDirLabel, drive + companyFolder + state_.productName);
}

const std::string& Installer::productNameAt(int32_t index) {
    if (auto error = CheckIndex(index, state_.productNames.size())) {
        system_.fatalExit(FatalErrorText(error->code, error->message));
    }
    return state_.productNames.at(static_cast<size_t>(index) - 1);
}

std::string Installer::installDir() const { return toolkit_.window().caption(ui::InstallDirLabel); }

void Installer::OnInstallDirPressed() {
    // While files are extracted the directory stays the one the worker writes into.
    if (installing_) return;
    platform::Window& window = toolkit_.window();
    std::string folder = ChooseFolder(system_, window.id(), "请选择安装位置");
    if (folder.empty()) return;
    window.setCaption(ui::InstallDirLabel, folder + "\\" + productNameAt(state_.productIndex));
}

bool Installer::IsProcessRunning(const std::string& executableName) {
    std::string key = LowerCase(executableName);
    auto names = system_.processNames();
    if (!names) return false;
    for (const std::string& name : *names) {
        if (LowerCase(name) == key) return true;
    }
    return false;
}

void Installer::OnInstallClicked() {
    if (installing_) return;  // one installation at a time
    if (IsProcessRunning(state_.productName + ".exe")) {
        system_.messageBox(RunningCopyText, platform::mb::Ok, state_.productName + "<没有关闭>");
        return;
    }
    system_.messageBox(AntivirusNotice, platform::mb::Ok, "");
    installing_ = true;
    if (!system_.startThread([this] { InstallWorker(); })) installing_ = false;
}

std::string Installer::tempCopyPath() {
    std::string temp = system_.tempDirectory();
    return temp.empty() ? std::string() : temp + PayloadFileName;
}

std::string Installer::driveCopyPath() const { return installDir().substr(0, 1) + ":\\" + PayloadFileName; }

std::optional<std::string> Installer::writeArchiveCopy() {
    for (const std::string& path : {tempCopyPath(), driveCopyPath()}) {
        if (system_.writeFile(path, payload_)) return path;
    }
    return std::nullopt;
}

void Installer::InstallWorker() {
    ComScope com(system_);
    platform::Window& window = toolkit_.window();
    window.setCaption(ui::LogLabel, "1.释放压缩包..");
    std::optional<std::string> archive = writeArchiveCopy();
    if (!archive) {
        system_.messageBox(WriteFailedText, platform::mb::Ok, "");
        toolkit_.endInstaller();
        return;
    }
    window.setVisible(ui::ProgressBar, true);
    window.setCaption(ui::LogLabel, "2.开始解压..");

    // The end notification (100) is held back until the extraction's result is known, so that
    // an extraction that failed on the way is never completed as an installation. By then the
    // archive is closed and its copies can be deleted.
    bool endNotified = false;
    auto forward = [&](int32_t percent) -> std::optional<bool> {
        if (percent == 100) {
            endNotified = true;
            return std::nullopt;
        }
        return window.raiseComponentEvent(ui::ZipComponent, ui::ExtractProgressEvent, percent);
    };
    int32_t result = extraction_(*archive, installDir(), forward);
    if (endNotified && result == 1) {
        // Completing ends the installer; this returns only when the handler did not run.
        window.raiseComponentEvent(ui::ZipComponent, ui::ExtractProgressEvent, 100);
    }
    reportFailedInstallation();
}

void Installer::OnExtractProgress(int32_t value) {
    platform::Window& window = toolkit_.window();
    window.setProgressPosition(ui::ProgressBar, value);
    double maximum = window.progressMaximum(ui::ProgressBar);
    window.setProgressPosition(ui::ProgressBar, static_cast<int>(maximum / 100.0 * static_cast<double>(value)));
    if (value != 100) return;
    completeInstallation();
}

void Installer::completeInstallation() {
    platform::Window& window = toolkit_.window();
    window.setNormalPicture(ui::InstallButton, completionPicture_);
    window.setHotPicture(ui::InstallButton, completionPicture_);

    std::string desktop = system_.desktopDirectory();
    std::string executable = state_.productName + ".exe";
    // Without a desktop directory the link would land in the current directory instead.
    bool linked = !desktop.empty() &&
                  system_.createShortcut(desktop + state_.productName, installDir() + "\\" + executable);
    window.setCaption(ui::LogLabel, linked ? "3.创建快捷方式..成功" : "3.创建快捷方式..失败");

    auto answer = system_.messageBox(CompletedQuestion, platform::mb::YesNo | platform::mb::IconInformation,
                                     "温馨提示：");
    if (answer == platform::MessageResult::Yes) system_.runProgram(installDir() + "\\" + executable);
    window.setVisible(ui::ProgressBar, false);
    deleteArchiveCopies();
    toolkit_.endInstaller();
}

void Installer::reportFailedInstallation() {
    platform::Window& window = toolkit_.window();
    deleteArchiveCopies();
    window.setVisible(ui::ProgressBar, false);
    window.setProgressPosition(ui::ProgressBar, 0);
    window.setCaption(ui::LogLabel, InstallFailedLog);
    system_.messageBox(InstallFailedText, platform::mb::Ok, "");
    installing_ = false;
}

void Installer::deleteArchiveCopies() {
    system_.deleteFile(driveCopyPath());
    if (std::string temp = tempCopyPath(); !temp.empty()) system_.deleteFile(temp);
}

void Installer::OnCloseCrossReleased() { toolkit_.endInstaller(); }

void Installer::OnExitButtonClicked() { toolkit_.endInstaller(); }

void Installer::OnBackgroundPressed() {}

void Installer::ExitCleanup() {
    state_.productNames.clear();
    state_.productList.clear();
    state_.productName.clear();
}

int RunInstaller(platform::System& system, platform::Toolkit& toolkit, Installer& installer,
                 const platform::WindowDesc& window) {
    toolkit.registerExitCleanup([&installer] { installer.ExitCleanup(); });
    if (!toolkit.load(window, installer)) {
        system.fatalExit(FatalErrorText(0, "载入启动窗口失败"));
        return -1;
    }
    toolkit.runMessageLoop();
    return 0;
}

}  // namespace app
