// Arbitrary bytes as the archive. The walk over the central directory, the local-header check,
// the extra-field scan, the entry-name rule and the integrity checks must neither crash nor
// hang; nothing may appear outside the target; the events must keep their order.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "payload/ZipExtractor.h"
#include "tests/host/FileSystemFake.h"

namespace {

constexpr const char* Target = "C:\\base\\target";

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool InsideTarget(const std::string& path) {
    const std::string target = Target;
    return path == target || path.starts_with(target + "\\");
}

// Percentages rise, stay within 0 ... 100, and 100 comes only last.
void CheckEvents(const std::vector<int32_t>& events, int32_t result) {
    Require(!events.empty() && result >= -1 && result <= 1);
    for (size_t i = 0; i < events.size(); ++i) {
        Require(events[i] >= 0 && events[i] <= 100);
        Require(i == 0 || events[i] >= events[i - 1]);
        Require(events[i] != 100 || i + 1 == events.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fake::FileSystemFake fs;
    fs.keepData = false;
    fs.addDirectory("C:\\base");
    fs.addFile("C:\\a.zip", std::string(reinterpret_cast<const char*>(data), size));
    std::set<std::string> before;
    for (const auto& [path, node] : fs.nodes) before.insert(path);

    std::vector<int32_t> events;
    payload::ZipExtractor extractor(fs, [&](int32_t percent) -> std::optional<bool> {
        events.push_back(percent);
        return std::nullopt;
    });
    const int32_t result = extractor.Extract("C:\\a.zip", Target);

    CheckEvents(events, result);
    for (const auto& [path, node] : fs.nodes) Require(before.count(path) || InsideTarget(path));
    return 0;
}
