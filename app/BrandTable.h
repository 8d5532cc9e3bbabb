#pragma once
// The brands a build can be made for: a company folder and the products it installs.
#include <span>

namespace app {

struct BrandRow {
    int code;
    const char* companyFolder;  // always ends in a backslash
    const char* productList;    // names joined by "|"
};

std::span<const BrandRow> BrandTable();

// What this build installs: the brand's row and the product's place (from 1) in its list.
inline constexpr int BrandCode = 0;
inline constexpr int ProductIndex = 6;

}  // namespace app
