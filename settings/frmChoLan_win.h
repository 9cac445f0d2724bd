// The language chooser: lists the packages of a folder under their own names and returns the
// chosen one. Mode 0 first start, 1 package not found, 2 from the Options dialog.
#pragma once
#include <windows.h>

#include <string>

#include "settings/FolderPicker_win.h"
#include "controls/FormDialog_win.h"
#include "settings/LanguageTag.h"
#include "settings/cMultiLanguage_win.h"

namespace plenvue {

class frmChoLan : public FormDialog {
public:
    enum : int { kTitle = 1001, kTip = 1002, kList = 1003, kTranslate = 1004, kMore = 1005 };

    std::string BaseFolder;  // with a trailing "\"
    int ShowType = 0;
    bool Canceled() const { return canceled_; }
    const std::string& LanguagePackage() const { return package_; }
    // Asks for another folder on More...; the platform's folder browser unless replaced.
    FolderPickerFn PickFolderFn = PickFolder;
    // Asks whether closing may end the program (modes 0 and 1); a message box unless replaced.
    std::function<bool(HWND)> ConfirmExitFn;

    const PackageTable& Packages() const { return table_; }

protected:
    DialogTemplate Template() const override;
    void OnInit() override;
    void OnCommand(int id, int code) override;

private:
    void FillList();
    void Confirm();
    void TryCancel();

    bool canceled_ = true;
    std::string package_;
    PackageTable table_;
    LanguageForm form_;
};

// The "*.dll" files of a folder in directory order.
std::vector<std::string> PackageFilesOf(const std::string& folder);

}  // namespace plenvue
