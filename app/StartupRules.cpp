#include "app/StartupRules.h"

namespace app {

namespace {

int64_t truncate(double value) { return static_cast<int64_t>(value); }

}  // namespace

bool DiskSpaceMegabytes(platform::System& system, const std::string& drive, int64_t& usedMegabytes,
                        int64_t& freeMegabytes, int64_t& totalMegabytes) {
    // The query fills the caller's free, total and total-free bytes in place.
    bool ok = system.diskFreeSpace(drive, usedMegabytes, totalMegabytes, freeMegabytes);
    usedMegabytes = truncate(static_cast<double>(totalMegabytes) - static_cast<double>(usedMegabytes));
    usedMegabytes = truncate(static_cast<double>(usedMegabytes) / 1048576.0);
    freeMegabytes = truncate(static_cast<double>(freeMegabytes) / 1048576.0);
    totalMegabytes = truncate(static_cast<double>(totalMegabytes) / 1048576.0);
    return ok;
}

std::string ChooseInstallDrive(int64_t freeMegabytes) { return freeMegabytes < 1000 ? "C:\\" : "D:\\"; }

const BrandRow* FindBrand(int code) {
    for (const BrandRow& row : BrandTable()) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

std::optional<IndexError> CheckIndex(int32_t index, size_t count) {
    int64_t zeroBased = static_cast<int64_t>(index) - 1;
    if (zeroBased < 0) return IndexError{4, "数组成员引用下标必须大于等于1"};
    if (static_cast<uint64_t>(zeroBased) >= count) return IndexError{1, "数组成员引用下标超出定义范围"};
    return std::nullopt;
}

std::string FatalErrorText(int code, const std::string& message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
    if (!message.empty()) text += "错误信息：" + message + "\r\n";
    return text;
}

}  // namespace app
