// Throughput of Extract on a large archive made at run time, beside a bare loop that inflates
// the same entries with minizip and writes them with WriteFile, and the ratio of the two.
#include <windows.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "payload/ZipExtractor.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"

namespace {

constexpr int FileCount = 2000;
constexpr size_t FileSize = 100 * 1024;
constexpr double Megabyte = 1048576.0;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Words and noise, so that deflate has work to do in both directions (about 3:1).
std::string FileData(int index) {
    static const char* words[] = {"alpha ", "bravo ", "charlie ", "delta ", "echo ", "foxtrot ", "golf ", "hotel "};
    uint32_t state = 2463534242u + static_cast<uint32_t>(index);
    std::string data;
    data.reserve(FileSize);
    while (data.size() < FileSize) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        if (state % 4 == 0)
            data += static_cast<char>(state >> 24);
        else
            data += words[state % 8];
    }
    data.resize(FileSize);
    return data;
}

std::string EntryName(int index) { return "dir" + std::to_string(index / 100) + "/file" + std::to_string(index) + ".dat"; }

bool MakeArchive(const std::string& path) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (int i = 0; i < FileCount && ok; ++i) {
        if (i % 100 == 0) {
            zip_fileinfo dir{};
            dir.external_fa = 0x10;
            const std::string name = "dir" + std::to_string(i / 100) + "/";
            ok = zipOpenNewFileInZip64(zip, name.c_str(), &dir, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0) == ZIP_OK &&
                 zipCloseFileInZip(zip) == ZIP_OK;
        }
        zip_fileinfo info{};
        info.dosDate = 0x52CF6000;
        info.external_fa = 0x20;
        const std::string data = FileData(i);
        ok = ok && zipOpenNewFileInZip64(zip, EntryName(i).c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                         Z_DEFAULT_COMPRESSION, 0) == ZIP_OK &&
             zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// Inflates every entry and writes it, with nothing else: no checks, attributes or times.
bool BareLoop(const std::string& archive, const std::string& target) {
    unzFile unz = unzOpen64(archive.c_str());
    if (!unz) return false;
    std::vector<char> buffer(16384);
    bool ok = CreateDirectoryA(target.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    for (int rc = unzGoToFirstFile(unz); ok && rc == UNZ_OK; rc = unzGoToNextFile(unz)) {
        char name[260];
        unz_file_info64 info;
        unzGetCurrentFileInfo64(unz, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        std::string path = target + "\\" + name;
        std::replace(path.begin(), path.end(), '/', '\\');
        if (path.back() == '\\') {
            CreateDirectoryA(path.c_str(), nullptr);
            continue;
        }
        auto file = platform::win32::ownFile(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file && unzOpenCurrentFile(unz) == UNZ_OK;
        for (int got; ok && (got = unzReadCurrentFile(unz, buffer.data(), 16384)) > 0;) {
            DWORD written = 0;
            ok = WriteFile(file.get(), buffer.data(), static_cast<DWORD>(got), &written, nullptr) != FALSE;
        }
        unzCloseCurrentFile(unz);
    }
    unzClose(unz);
    return ok;
}

bool ExtractOnce(const std::string& archive, const std::string& target) {
    platform::win32::Win32FileSystem fs;
    int events = 0;
    payload::ZipExtractor extractor(fs, [&](int32_t) -> std::optional<bool> {
        ++events;
        return std::nullopt;
    });
    return extractor.Extract(archive, target) == 1 && events == FileCount + FileCount / 100 + 1;
}

template <typename Run>
bool Timed(Run run, double& best) {
    const double start = Seconds();
    if (!run()) return false;
    best = std::min(best, Seconds() - start);
    return true;
}

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = directory + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string work = std::string(temp) + "zip-bench";
    RemoveTree(work);
    CreateDirectoryA(work.c_str(), nullptr);
    const std::string archive = work + "\\bench.zip";
    std::printf("making %d files of %zu KB ...\n", FileCount, FileSize / 1024);
    if (!MakeArchive(archive)) return std::printf("could not make the archive\n"), 1;
    const double megabytes = FileCount * static_cast<double>(FileSize) / Megabyte;

    // The two take turns, so that both meet the same load on the machine; the best run counts.
    const int rounds = 5;
    double bare = 1e30, extract = 1e30;
    bool ok = true;
    for (int i = 0; i < rounds && ok; ++i)
        ok = Timed([&] { return BareLoop(archive, work + "\\bare"); }, bare) &&
             Timed([&] { return ExtractOnce(archive, work + "\\extract"); }, extract);
    RemoveTree(work);
    if (!ok) return std::printf("a run failed\n"), 1;

    std::printf("%.0f MB in %d files, best of %d runs each\n", megabytes, FileCount, rounds);
    std::printf("bare inflate-and-write loop: %8.1f MB/s (%.2f s)\n", megabytes / bare, bare);
    std::printf("Extract:                     %8.1f MB/s (%.2f s)\n", megabytes / extract, extract);
    std::printf("Extract / bare:              %8.2f\n", bare / extract);
    return 0;
}
