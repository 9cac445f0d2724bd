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

// The one program-wide state. Tests start from a fresh one with ScopedProgramState.
ProgramState& App();
// Back to the state at start-up (the language object goes).
void ResetProgramState();

// A fresh program-wide state for the scope's lifetime; the one before comes back afterwards.
class ScopedProgramState {
public:
    ScopedProgramState();
    ~ScopedProgramState();
    ScopedProgramState(const ScopedProgramState&) = delete;
    ScopedProgramState& operator=(const ScopedProgramState&) = delete;

private:
    ProgramState saved_;
};

// The modal-dialog flag raised for the scope's lifetime, lowered again however the scope ends
// (restored to what it was, so that nested dialogs keep it raised).
class ModalDialogScope {
public:
    ModalDialogScope() noexcept : previous_(App().ModalDialog) { App().ModalDialog = true; }
    ~ModalDialogScope() { App().ModalDialog = previous_; }
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;

private:
    bool previous_;
};

// Fills the message texts, capture captions and hot key names from the language object.
void LoadMessageTable(const ILanguage& language);
// A message text by item number (its built-in default when not loaded).
std::string Msg(int item);

}  // namespace plenvue
