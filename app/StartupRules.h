#pragma once
// The pure rules of start-up: free space in megabytes, the drive choice, the brand look-up,
// the bounds test of product names and the text of a fatal error report.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/BrandTable.h"
#include "platform/System.h"

namespace app {

inline constexpr int64_t Megabyte = 1048576;

// Asks the system for the space of `drive`. `used` receives the bytes in use as the caller
// sees them; all three are whole megabytes, rounded toward zero. After a failed query the
// outputs keep what the caller put in them. Gives the query's success.
bool DiskSpaceMegabytes(platform::System& system, const std::string& drive, int64_t& usedMegabytes,
                        int64_t& freeMegabytes, int64_t& totalMegabytes);

// "D:\" with at least 1000 megabytes free there, else "C:\".
std::string ChooseInstallDrive(int64_t freeMegabytes);

// The first row whose code equals `code`, in table order.
const BrandRow* FindBrand(int code);

// The outcome of the bounds test for item `index` (from 1) of `count` items: empty when it
// is in range, else the code and message of the fatal error report.
struct IndexError {
    int code;
    const char* message;
};
std::optional<IndexError> CheckIndex(int32_t index, size_t count);

// The text of a fatal error report; code 0 means the report has no code line.
std::string FatalErrorText(int code, const std::string& message);

}  // namespace app
