// Program-wide state prepared at start-up and read by every window.
#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>

#include "base/win/Language_win.h"

namespace plenvue {

struct ProgramState {
    std::string ProgramFolder;    // ends in a backslash
    std::string TempFolder;       // ends in a backslash
    std::string BeepFile;
    std::string LanguagePackagePath;
    std::string LanguageName;
    std::unique_ptr<ILanguage> Language;     // the shared language object
    std::map<int, std::string> Messages;       // the message table
    std::array<std::string, 6> CaptureCaptions;
    std::array<std::string, 6> HotkeyNames;
    bool ModalDialog = false;  // blocks hot keys and the notification icon
};

ProgramState& App();

// Fills the message texts, capture captions and hot key names from the language object.
void LoadMessageTable(const ILanguage& language);
// A message text by item number (its built-in default when not loaded).
std::string Msg(int item);

}  // namespace plenvue
