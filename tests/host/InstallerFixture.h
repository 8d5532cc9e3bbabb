#pragma once
// An installer over the platform doubles, created and shown as start-up leaves it.
#include <gtest/gtest.h>

#include <array>

#include "app/Installer.h"
#include "tests/host/FakePlatform.h"
#include "ui/InstallerWindow.h"

class InstallerFixture : public testing::Test {
protected:
    static constexpr int64_t MB = 1048576;

    // What the scripted extraction does: the events it raises and the result it returns.
    struct ScriptedExtraction {
        std::vector<int32_t> events;
        int32_t result = 1;
    };

    std::array<uint8_t, 4> payload{0x50, 0x4B, 0x03, 0x04};
    std::array<uint8_t, 2> completionPicture{0xFF, 0xD8};

    InstallerFixture()
        : system(journal),
          toolkit(journal),
          installer(system, toolkit,
                    [this](const std::string& archive, const std::string& target, app::ProgressHandler progress) {
                        return extract(archive, target, progress);
                    },
                    payload, completionPicture) {}

    void start() { app::RunInstaller(system, toolkit, installer, ui::InstallerWindow()); }

    void startWithDriveD() {
        system.disk = fake::System::Disk{2000 * MB, 5000 * MB, 2000 * MB};
        start();
    }

    // Clicks the install button and runs the worker it starts to its end.
    void installAndRunWorker() {
        installer.OnInstallClicked();
        ASSERT_EQ(system.threads.size(), 1u) << "no worker started";
        auto worker = system.threads.back();
        try {
            worker();
        } catch (const fake::Ended&) {
            ended = true;
        }
    }

    std::string caption(const char* control) { return toolkit.window().caption(control); }

    int32_t extract(const std::string& archive, const std::string& target, const app::ProgressHandler& progress) {
        extractedArchive = archive;
        extractedTarget = target;
        for (int32_t value : script.events) progress(value);
        return script.result;
    }

    bool journalHas(const std::string& entry) const {
        return std::find(journal.entries.begin(), journal.entries.end(), entry) != journal.entries.end();
    }
    size_t journalIndex(const std::string& entry) const {
        auto it = std::find(journal.entries.begin(), journal.entries.end(), entry);
        EXPECT_NE(it, journal.entries.end()) << "missing: " << entry;
        return static_cast<size_t>(it - journal.entries.begin());
    }

    fake::Journal journal;
    fake::System system;
    fake::Toolkit toolkit;
    app::Installer installer;
    ScriptedExtraction script{{0, 11, 22, 33, 44, 55, 66, 77, 88, 100}, 1};
    std::string extractedArchive, extractedTarget;
    bool ended = false;
};
