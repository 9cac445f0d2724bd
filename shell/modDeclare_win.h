// Program-wide state prepared at start-up and read by every window.
#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>

#include "settings/CurrentSettings.h"
#include "settings/cMultiLanguage_win.h"

namespace plenvue {

struct ProgramState {
    std::string ProgramFolder;    // ends in a backslash
    std::string TempFolder;       // ends in a backslash
    std::string BeepFile;
    std::string LanguagePackagePath;
    std::string LanguageName;
    std::unique_ptr<cMultiLanguage> Language;  // the shared language object
    std::map<int, std::string> Messages;       // the message table
    std::array<std::string, 6> CaptureCaptions;
    std::array<std::string, 6> HotkeyNames;
    bool ModalDialog = false;  // blocks hot keys and the notification icon
};

ProgramState& App();

// The one record of current settings, filled by the main window's load step.
CurrentSettings& Settings();

// Fills the message texts, capture captions and hot key names from the language object.
void LoadMessageTable(const cMultiLanguage& language);
// A message text by item number (its built-in default when not loaded).
std::string Msg(int item);

}  // namespace plenvue
