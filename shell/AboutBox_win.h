// The About box: program name and version, the copyright line and the two links, over the
// executable's ABOUT template.
#pragma once
#include <windows.h>

#include "controls/FormDialog_win.h"

namespace plenvue {

class AboutBox : public FormDialog {
protected:
    const char* ResourceName() const override { return "ABOUT"; }
    void OnInit() override;
    void OnCommand(int id, int code) override;
};

// Shows the About box modally over `owner`, with the modal-dialog flag raised meanwhile.
void ShowAboutBox(HWND owner);

}  // namespace plenvue
