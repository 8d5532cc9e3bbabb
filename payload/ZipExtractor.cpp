#include "payload/ZipExtractor.h"

#include <array>
#include <memory>

#include "payload/EntryNames.h"
#include "payload/PathText.h"
#include "payload/ZipArchive.h"

namespace payload {

namespace {

namespace attr = platform::attr;

constexpr uint32_t LocalHeaderSignature = 0x04034B50;

uint32_t read32(const std::array<uint8_t, 32>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// The file must begin with a local header, and the signed value at offset 24 (the upper half of
// the first entry's size and its name length) must be at least 1.
bool PassesSignatureTest(platform::FileSystem& fs, const std::string& path) {
    const auto file = fs.openForReading(path);
    if (!file) return false;
    std::array<uint8_t, 32> head{};
    const auto got = file->readAt(0, head);
    if (!got || *got != head.size()) return false;
    return read32(head, 0) == LocalHeaderSignature && static_cast<int32_t>(read32(head, 24)) >= 1;
}

int32_t Percent(int32_t current, int32_t total) {
    if (total == 0) return 0;
    return static_cast<int32_t>(static_cast<double>(current) / static_cast<double>(total) * 100.0);
}

// The state of one Extract call; the archive stays open until the run goes.
class ExtractionRun {
public:
    ExtractionRun(platform::FileSystem& fs, const ProgressHandler& progress)
        : fs_(fs), progress_(progress), isLead_(LeadBytesOf(fs)) {}

    int32_t Walk(const std::string& archivePath, const std::string& targetDir);
    void EndNotification() {
        current_ = total_;
        Raise();
    }
    bool StopRequested() const { return stopRequested_; }
    bool CountedWholeArchive() const { return countedWholeArchive_; }

private:
    int32_t ExtractEntries(const std::string& targetDir);
    bool ProcessEntry(const ZipEntryInfo& entry, const std::string& targetDir);
    bool WriteEntry(const ZipEntryInfo& entry, const std::string& outputPath);
    void CreateRelativeFolders(const std::string& outputPath);
    void Raise();

    platform::FileSystem& fs_;
    const ProgressHandler& progress_;
    LeadByteTest isLead_;
    bool stopRequested_ = false;
    bool countedWholeArchive_ = false;
    int32_t total_ = 0;
    int32_t current_ = 0;
    std::unique_ptr<ZipArchive> archive_;
    std::string openDirectory_;  // current directory when the archive was opened
};

int32_t ExtractionRun::Walk(const std::string& archivePath, const std::string& targetDir) {
    if (!fs_.exists(archivePath)) return -1;
    if (!fs_.exists(targetDir) && !CreateDirectoryPath(fs_, targetDir)) return 0;
    if (!PassesSignatureTest(fs_, archivePath)) return 0;
    archive_ = ZipArchive::Open(fs_, archivePath);
    if (!archive_) return 0;
    openDirectory_ = fs_.currentDirectory();
    const auto count = archive_->CountEntries();
    if (!count) return 0;
    total_ = *count;
    const auto declared = archive_->DeclaredEntries();
    countedWholeArchive_ = declared && *declared == static_cast<uint64_t>(total_);
    return ExtractEntries(targetDir);
}

int32_t ExtractionRun::ExtractEntries(const std::string& targetDir) {
    for (int32_t i = 0; i < total_; ++i) {
        const ZipEntryInfo* entry = archive_->ReadEntry(i);
        if (!entry) return 1;
        if (!ProcessEntry(*entry, targetDir)) return 0;
        current_ = i;
        Raise();
        if (stopRequested_) return 1;
    }
    return 1;
}

// An entry whose name could reach outside the target, or whose data is encrypted, fails
// before anything is done for it.
bool ExtractionRun::ProcessEntry(const ZipEntryInfo& entry, const std::string& targetDir) {
    if (!IsSafeEntryName(entry.name, isLead_) || entry.encrypted) return false;
    const std::string outputPath = OutputPath(targetDir, entry.name, isLead_);
    if (entry.attributes & attr::Directory) return fs_.exists(outputPath) || CreateDirectoryPath(fs_, outputPath);
    // A read-only, hidden or system file would refuse to be replaced.
    fs_.setAttributes(outputPath, attr::Normal);
    if (!WriteEntry(entry, outputPath)) return false;
    fs_.setAttributes(outputPath, attr::Normal);
    return true;
}

bool ExtractionRun::WriteEntry(const ZipEntryInfo& entry, const std::string& outputPath) {
    CreateRelativeFolders(outputPath);
    const auto file = fs_.createFile(outputPath, entry.attributes);
    if (!file) return false;
    if (!archive_->ReadData(entry, [&](platform::Bytes chunk) { return file->write(chunk); })) return false;
    if (file->isDiskFile()) file->setTimes(entry.creationTime, entry.accessTime, entry.writeTime);
    return true;
}

// Only a relative output path gets its folders here, under the directory that was current when
// the archive was opened; failures show when the file is created.
void ExtractionRun::CreateRelativeFolders(const std::string& outputPath) {
    for (const std::string& level : RelativeFolderLevels(outputPath, isLead_))
        fs_.createDirectory(JoinPath(openDirectory_, level, isLead_));
}

void ExtractionRun::Raise() {
    const std::optional<bool> answer = progress_ ? progress_(Percent(current_, total_)) : std::nullopt;
    if (answer == false) stopRequested_ = true;
}

}  // namespace

ZipExtractor::ZipExtractor(platform::FileSystem& fs, ProgressHandler progress)
    : fs_(fs), progress_(std::move(progress)) {}

int32_t ZipExtractor::Extract(const std::string& archivePath, const std::string& targetDir) {
    ExtractionRun run(fs_, progress_);
    wholeArchive_ = false;
    const int32_t result = run.Walk(archivePath, targetDir);
    if (run.StopRequested()) return 1;
    wholeArchive_ = result == 1 && run.CountedWholeArchive();
    // The archive is still open while the end notification's handler runs.
    run.EndNotification();
    return result;
}

}  // namespace payload
