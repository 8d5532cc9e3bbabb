#pragma once
// Test doubles of the platform for the installer logic: they record what the logic asks for,
// in order, and answer as the test scripts them.
#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/Toolkit.h"

namespace fake {

// Thrown where the real platform would end the process.
struct Ended {};
struct FatalExit {
    std::string text;
};

struct MessageBoxCall {
    std::string text;
    unsigned flags;
    std::string title;
};

class Journal {
public:
    void add(std::string entry) { entries.push_back(std::move(entry)); }
    std::vector<std::string> entries;
};

class System : public platform::System {
public:
    explicit System(Journal& journal) : journal_(journal) {}

    platform::MessageResult messageBox(const std::string& text, unsigned flags, const std::string& title) override {
        boxes.push_back({text, flags, title});
        journal_.add("messageBox " + title);
        return boxAnswer;
    }
    void fatalExit(const std::string& text) override { throw FatalExit{text}; }
    bool diskFreeSpace(const std::string& directory, int64_t& freeToCaller, int64_t& totalBytes,
                       int64_t& totalFree) override {
        queriedDrive = directory;
        if (!disk) return false;
        freeToCaller = disk->freeToCaller;
        totalBytes = disk->total;
        totalFree = disk->totalFree;
        return true;
    }
    std::string tempDirectory() override { return temp; }
    bool writeFile(const std::string& path, platform::Bytes bytes) override {
        journal_.add("writeFile " + path);
        if (std::find(unwritable.begin(), unwritable.end(), path) != unwritable.end() || path.empty()) return false;
        files[path] = std::vector<uint8_t>(bytes.begin(), bytes.end());
        return true;
    }
    bool deleteFile(const std::string& path) override {
        journal_.add("deleteFile " + path);
        return files.erase(path) > 0;
    }
    bool startThread(std::function<void()> routine) override {
        journal_.add("startThread");
        if (!threadsStart) return false;
        threads.push_back(std::move(routine));
        return true;
    }
    bool comInitialize() override {
        journal_.add("comInitialize");
        return true;
    }
    void comUninitialize() override { journal_.add("comUninitialize"); }
    std::optional<std::vector<std::string>> processNames() override { return processes; }
    bool runProgram(const std::string& path) override {
        journal_.add("runProgram " + path);
        return true;
    }
    std::string desktopDirectory() override { return desktop; }
    bool createShortcut(const std::string& name, const std::string& target) override {
        journal_.add("createShortcut " + name + " -> " + target);
        return shortcutWorks;
    }
    platform::FolderBrowseResult browseForFolder(platform::WindowId, const std::string& title) override {
        journal_.add("browseForFolder " + title);
        platform::FolderBrowseResult result;
        if (!browseAnswers.empty()) {
            result = browseAnswers.front();
            browseAnswers.erase(browseAnswers.begin());
        }
        return result;
    }

    struct Disk {
        int64_t freeToCaller, total, totalFree;
    };
    std::optional<Disk> disk;
    std::string queriedDrive;
    std::string temp = "C:\\Temp\\";
    std::vector<std::string> unwritable;
    std::map<std::string, std::vector<uint8_t>> files;
    bool threadsStart = true;
    std::vector<std::function<void()>> threads;
    std::optional<std::vector<std::string>> processes = std::vector<std::string>{};
    std::string desktop = "C:\\Users\\me\\Desktop\\";
    bool shortcutWorks = true;
    std::vector<platform::FolderBrowseResult> browseAnswers;
    std::vector<MessageBoxCall> boxes;
    platform::MessageResult boxAnswer = platform::MessageResult::Ok;

private:
    Journal& journal_;
};

class Window : public platform::Window {
public:
    explicit Window(Journal& journal) : journal_(journal) {}

    platform::WindowId id() const override { return {reinterpret_cast<void*>(0x1234)}; }
    void setWidth(int width) override { journal_.add("width " + std::to_string(width)); }
    void setHeight(int height) override { journal_.add("height " + std::to_string(height)); }
    void setTop(int top) override { journal_.add("top " + std::to_string(top)); }
    std::string caption(const std::string& control) const override {
        auto it = captions.find(control);
        return it == captions.end() ? std::string() : it->second;
    }
    void setCaption(const std::string& control, const std::string& text) override {
        journal_.add("caption " + control + " = " + text);
        captions[control] = text;
    }
    bool visible(const std::string& control) const override { return shown.count(control) && shown.at(control); }
    void setVisible(const std::string& control, bool show) override {
        journal_.add("visible " + control + " = " + (show ? "yes" : "no"));
        shown[control] = show;
    }
    int progressMaximum(const std::string&) const override { return maximum; }
    int progressPosition(const std::string&) const override { return positions.empty() ? 0 : positions.back(); }
    void setProgressPosition(const std::string&, int position) override { positions.push_back(position); }
    void setNormalPicture(const std::string& control, platform::Bytes picture) override {
        journal_.add("normalPicture " + control);
        normalPictures[control] = picture.data();
    }
    void setHotPicture(const std::string& control, platform::Bytes picture) override {
        journal_.add("hotPicture " + control);
        hotPictures[control] = picture.data();
    }
    std::optional<bool> raiseComponentEvent(const std::string& control, int eventNumber, int value) override {
        raised.push_back(value);
        if (!componentAlive || !sink || control != "ZIP压缩1" || eventNumber != 1) return std::nullopt;
        platform::EventArgs args;
        args.value = value;
        return sink->handle(platform::Handler::OnExtractProgress, args);
    }

    platform::EventSink* sink = nullptr;
    bool componentAlive = true;
    int maximum = 100;
    std::vector<int> positions;
    std::vector<int> raised;
    std::map<std::string, std::string> captions;
    std::map<std::string, bool> shown;
    std::map<std::string, const uint8_t*> normalPictures, hotPictures;

private:
    Journal& journal_;
};

class Toolkit : public platform::Toolkit {
public:
    explicit Toolkit(Journal& journal) : window_(journal), journal_(journal) {}

    bool load(const platform::WindowDesc&, platform::EventSink& sink) override {
        window_.sink = &sink;
        if (!loads) return false;
        sink.handle(platform::Handler::WindowCreated, {});
        return true;
    }
    Window& window() override { return window_; }
    void runMessageLoop() override { journal_.add("messageLoop"); }
    void registerExitCleanup(std::function<void()> cleanup) override { exitCleanup = std::move(cleanup); }
    void endInstaller() override {
        journal_.add("endInstaller");
        throw Ended{};
    }

    bool loads = true;
    std::function<void()> exitCleanup;

private:
    Window window_;
    Journal& journal_;
};

}  // namespace fake
