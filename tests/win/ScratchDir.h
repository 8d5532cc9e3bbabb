#pragma once
// A folder of its own under the temporary-files directory, removed with all it holds.
#include <windows.h>

#include <string>

namespace testing_support {

class ScratchDir {
public:
    explicit ScratchDir(const std::string& stem = "win-test") {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        parent = temp;
        static int counter = 0;
        path = parent + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~ScratchDir() { Remove(path); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return path + "\\" + name; }

    // Removes a folder and everything below it, read-only files included.
    static void Remove(const std::string& directory) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName, child = directory + "\\" + name;
                if (name == "." || name == "..") continue;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(child);
                else DeleteFileA(child.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(directory.c_str());
    }

    std::string path, parent;
};

}  // namespace testing_support
