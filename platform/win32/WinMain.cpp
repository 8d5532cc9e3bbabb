// Program entry of installer.exe: the real platform under the installer logic.
#include <windows.h>

#include "app/Installer.h"
#include "payload/Payload.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Toolkit.h"
#include "ui/InstallerWindow.h"
#include "ui/Pictures.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::win32::Win32Toolkit toolkit;  // OLE for this thread, the program's folder as current directory
    platform::win32::Win32System system;
    platform::win32::Win32FileSystem files;
    app::Installer installer(system, toolkit, app::ArchiveExtraction(files), PayloadBytes(),
                             platform::bytesOf(CompletionPicture));
    return app::RunInstaller(system, toolkit, installer, ui::InstallerWindow());
}
