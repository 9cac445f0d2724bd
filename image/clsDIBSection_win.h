// Windows services of the image model: DIBs as real DIB sections in memory DCs and Win32 file
// operations. Linking clsDIBSection_win.cpp installs them before main; WinMain may also call
// InstallWin32ImageServices to make that explicit.
#pragma once

namespace plenvue {

void InstallWin32ImageServices();

}  // namespace plenvue
