#include "shell/BeepFile_win.h"

#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

BeepFile::~BeepFile() {
    if (!path_.empty()) DeleteFileW(WideName(path_).c_str());
}

void BeepFile::Write(const std::string& path, HINSTANCE module) {
    path_ = path;
    if (path.empty()) return;
    HRSRC res = FindResourceA(module, "BEEP", "WAVE");
    if (!res) return;
    HGLOBAL data = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return;
    UniqueKernel f(CreateFileW(WideName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    if (!f) return;
    DWORD written = 0;
    WriteFile(f.get(), bytes, size, &written, nullptr);
}

}  // namespace plenvue
