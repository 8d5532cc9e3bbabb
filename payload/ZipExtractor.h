#pragma once
// The ZIP extraction component: unpacks an archive file into a directory and reports its
// progress as a percentage after each entry and once at the end.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace payload {

// Called synchronously with each percentage. An answer of false asks the extraction to stop
// after the entry just reported; true or no answer lets it go on.
using ProgressHandler = std::function<std::optional<bool>(int32_t percent)>;

class ZipExtractor {
public:
    ZipExtractor(platform::FileSystem& fs, ProgressHandler progress);

    // 1 on success (also when the walk ends at an unreadable entry or a handler asked to stop),
    // 0 on failure, -1 when nothing exists at archivePath.
    int32_t Extract(const std::string& archivePath, const std::string& targetDir);

    // Whether the last Extract reached every entry that the central directory lists. A walk
    // that ends at an unreadable entry still gives 1, but leaves the rest of the archive out.
    bool ExtractedWholeArchive() const { return wholeArchive_; }

private:
    platform::FileSystem& fs_;
    ProgressHandler progress_;
    bool wholeArchive_ = false;
};

}  // namespace payload
