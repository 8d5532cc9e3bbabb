#pragma once
// The installer logic: the handlers bound to the window's events, the install worker and the
// completion, over the platform's System and Toolkit.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Toolkit.h"

namespace app {

// The values the whole logic shares; set once by the created handler, released by the exit
// cleanup.
struct InstallerState {
    std::vector<std::string> productNames;
    int32_t productIndex = 0;
    std::string productList;
    std::string productName;
};

// Answers of a progress handler: false asks the extraction to stop, empty means no answer.
using ProgressHandler = std::function<std::optional<bool>(int32_t percent)>;
// Extracts archivePath into targetDir, raising progress through the handler: 1 success,
// 0 failure, -1 archive missing.
using Extraction =
    std::function<int32_t(const std::string& archivePath, const std::string& targetDir, ProgressHandler)>;

// The extraction component over `files`. A walk that ended at an unreadable entry, which the
// component itself reports as 1, counts as a failure here: the entries after it are missing.
Extraction ArchiveExtraction(platform::FileSystem& files);

inline constexpr const char* PayloadFileName = "tool.zip";

class Installer : public platform::EventSink {
public:
    Installer(platform::System& system, platform::Toolkit& toolkit, Extraction extraction,
              platform::Bytes payload, platform::Bytes completionPicture);

    std::optional<bool> handle(platform::Handler handler, const platform::EventArgs& args) override;

    void OnWindowCreated();
    void OnInstallDirPressed();
    void OnInstallClicked();
    void InstallWorker();
    void OnExtractProgress(int32_t value);
    void OnCloseCrossReleased();
    void OnExitButtonClicked();
    void OnBackgroundPressed();
    void ExitCleanup();

    bool IsProcessRunning(const std::string& executableName);
    const InstallerState& state() const { return state_; }
    bool installing() const { return installing_; }

private:
    const std::string& productNameAt(int32_t index);
    std::string installDir() const;
    std::string driveCopyPath() const;
    std::string tempCopyPath();
    std::optional<std::string> writeArchiveCopy();
    void completeInstallation();
    void reportFailedInstallation();
    void deleteArchiveCopies();

    platform::System& system_;
    platform::Toolkit& toolkit_;
    Extraction extraction_;
    platform::Bytes payload_;
    platform::Bytes completionPicture_;
    InstallerState state_;
    // Set from the accepted install click until the worker gives up; keeps a second worker
    // and the folder chooser out while files are being extracted.
    std::atomic<bool> installing_ = false;
};

// Start-up on the main thread: registers the exit cleanup, loads the window (whose created
// event runs OnWindowCreated), runs the message loop. Gives the process's exit code.
int RunInstaller(platform::System& system, platform::Toolkit& toolkit, Installer& installer,
                 const platform::WindowDesc& window);

}  // namespace app
