#include "settings/cMultiLanguage_win.h"

namespace plenvue {

void cMultiLanguage::LanguagePackageFileName(const std::string& path) {
    if (path == file_ && module_) return;
    file_ = path;
    module_.reset();
    if (path.empty()) return;
    module_.reset(LoadLibraryExA(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module_) module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

std::string cMultiLanguage::getItemValue(int lID, const std::string& sDefault) const {
    if (!module_) return sDefault;
    char buf[256] = {};
    int n = LoadStringA(module_.get(), static_cast<UINT>(lID), buf, 255);
    if (n <= 0) return sDefault;
    if (n > 254) n = 254;
    return std::string(buf, static_cast<size_t>(n));
}

}  // namespace plenvue
