#pragma once
// Extraction over the in-memory file system, with the events it raised.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FileSystemFake.h"
#include "ZipTestArchive.h"
#include "payload/ZipExtractor.h"

class ExtractFixture : public testing::Test {
protected:
    static constexpr const char* Archive = "C:\\a.zip";
    static constexpr const char* Target = "C:\\out";

    fake::FileSystemFake fs;
    std::vector<int32_t> events;
    std::function<std::optional<bool>(int32_t)> answer;  // unset: no answer

    void PutArchive(const std::vector<uint8_t>& zip, const std::string& path = Archive) {
        fs.addFile(path, std::string(zip.begin(), zip.end()));
    }
    void PutArchive(const std::vector<ziptest::Entry>& entries) { PutArchive(ziptest::MakeZip(entries)); }

    int32_t Extract(const std::string& target = Target, const std::string& archive = Archive) {
        payload::ZipExtractor extractor(fs, [this](int32_t percent) -> std::optional<bool> {
            events.push_back(percent);
            return answer ? answer(percent) : std::nullopt;
        });
        int32_t result = extractor.Extract(archive, target);
        wholeArchive = extractor.ExtractedWholeArchive();
        return result;
    }
    bool wholeArchive = false;  // what the last Extract said of reaching every entry

    // The content of a file, or empty when there is no file under the name.
    std::optional<std::string> ContentOf(const std::string& path) {
        const fake::FakeNode* node = fs.find(path);
        if (!node || node->directory) return std::nullopt;
        return node->data;
    }
};
