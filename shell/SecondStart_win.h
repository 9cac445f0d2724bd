// A second start of Plenvue.exe: its command line goes to the instance already running from the
// same program file, whose main window takes it as copy-data.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace plenvue {

// The main window's class, registered by frmMain; found only in processes of our own program file.
inline constexpr const wchar_t* kMainWindowClassW = L"PlenvueMainWindow";

// The program's arguments after its name, from the wide command line; false when one is no valid text.
bool ProgramArgumentsUtf8(std::vector<std::string>& args);

// A /edit file as a full path, so that the running instance, whose current folder is another,
// opens the same file.
std::string AbsoluteFilePath(const std::string& path);

// Sends the arguments to the running instance's main window, waiting up to `waitMs` for it to
// appear (the first instance may still be starting); true when it took them.
bool HandOverToRunningInstance(const std::vector<std::string>& args, DWORD waitMs);

}  // namespace plenvue
