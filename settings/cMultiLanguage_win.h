// A language package: a module of numbered strings, loaded as data so no code in it ever runs.
#pragma once
#include <windows.h>

#include <string>

#include "shell/Handles_win.h"

namespace plenvue {

class cMultiLanguage {
public:
    // Setting the same name again keeps the loaded module.
    void LanguagePackageFileName(const std::string& path);
    const std::string& LanguagePackageFileName() const { return file_; }
    HMODULE LanguagePackageInstance() const { return module_.get(); }

    // The item's text in the ANSI code page, cut at 254 characters; sDefault when missing or empty.
    std::string getItemValue(int lID, const std::string& sDefault = std::string()) const;

private:
    std::string file_;
    UniqueModule module_;
};

}  // namespace plenvue
