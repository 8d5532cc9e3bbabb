#include "app/ChooseFolder.h"

#include "app/TextRules.h"

namespace app {

std::string FolderFromBrowse(const platform::FolderBrowseResult& browsed) {
    std::string name = TrimSpaces(browsed.displayName);
    if (ContainsCharacter(name, '?')) return {};
    if (browsed.hasItem) {
        if (!browsed.path) return {};  // a folder outside the file system
        const std::string& path = *browsed.path;
        return path.size() == 3 ? path.substr(0, 2) : path;  // "D:\" would double the separator
    }
    // Without an item list only the typed name is left; after Cancel it is empty.
    return name.empty() ? std::string() : "\\\\" + name;
}

std::string ChooseFolder(platform::System& system, platform::WindowId owner, const std::string& title) {
    return FolderFromBrowse(system.browseForFolder(owner, title.empty() ? "请选择文件夹路径" : title));
}

}  // namespace app
