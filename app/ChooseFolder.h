#pragma once
#include <string>

#include "platform/System.h"

namespace app {

// Lets the user pick a folder in the system's browser, modal to `owner`. Gives the folder
// without a trailing backslash (a drive root as "E:"), or empty when nothing usable was
// chosen. An empty title shows "请选择文件夹路径".
std::string ChooseFolder(platform::System& system, platform::WindowId owner, const std::string& title);

// The rules applied to what the browser gave back.
std::string FolderFromBrowse(const platform::FolderBrowseResult& browsed);

}  // namespace app
