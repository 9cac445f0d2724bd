#include "base/win/modDeclare_win.h"

#include "base/MessageTable.h"

namespace plenvue {

ProgramState& App() {
    static ProgramState state;
    return state;
}

void ResetProgramState() { App() = ProgramState{}; }

ScopedProgramState::ScopedProgramState() : saved_(std::move(App())) { App() = ProgramState{}; }

ScopedProgramState::~ScopedProgramState() { App() = std::move(saved_); }

void LoadMessageTable(const ILanguage& language) {
    ProgramState& app = App();
    for (const auto& m : MessageDefaults()) app.Messages[m.item] = language.getItemValue(m.item, m.text);
    for (int i = 0; i < 6; ++i) {
        app.CaptureCaptions[i] = language.getItemValue(1129 + 2 * i, "");
        app.HotkeyNames[i] = language.getItemValue(2033 + 2 * i, "");
    }
}

std::string Msg(int item) {
    auto it = App().Messages.find(item);
    return it != App().Messages.end() ? it->second : DefaultMessage(item);
}

}  // namespace plenvue
