// The main window's file commands: open, save, save as, automatic saving, copy, move, delete and
// print, the File menu's enabling, and the history of the files opened and saved.
#include <windows.h>
#include <commdlg.h>

#include "capture/Printing_win.h"
#include "capture/clsCapture_win.h"
#include "controls/modCommonDialog.h"
#include "controls/modCommonDialog_win.h"
#include "controls/modCreatePath_win.h"
#include "settings/SaveFolder_win.h"
#include "settings/modRegistry_win.h"
#include "shell/SaveAsChoice.h"
#include "base/ErrorObject.h"
#include "shell/FileCommands_win.h"
#include "shell/FileRules.h"
#include "shell/MainLayout.h"
#include "shell/MainMenu.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "shell/frmMain_win.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST;
constexpr DWORD kSaveAsFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;

std::string ErrorText(const FileError& e) { return std::to_string(e.Number) + " - " + e.Description; }

}  // namespace

bool frmMain::OpenPicture(const std::string& path, bool addHistory) {
    editor_.EndText(true);
    // The picture being edited is already on the canvas: choosing its entry keeps its steps.
    if (!path.empty() && path == currentFile_ && !doc_.Empty() && doc_.StepCount() > 0) return true;
    if (ResumeParked(path)) return true;
    // An entry with a kept copy opens from the copy: a capture never saved, or a file with
    // drawings not saved into it.
    const KeptHistory::Listed* entry = kept_.Find(path);
    const std::string source = entry && !entry->Copy.empty() ? entry->Copy : path;
    const std::string file = entry && !entry->Copy.empty() ? entry->Entry.File : path;
    if (source != path) kept_.Flush();  // a copy just asked for is on disk before it is read
    Picture loaded;
    FileError error = LoadPictureFile(source, loaded);
    int notice = 0;
    // An editable picture brings its objects back: commands then work under them. The file just
    // saved from the document is the document: it keeps its steps. A file that fails to open
    // leaves the picture being edited as it was.
    const bool sameDocument = !doc_.Empty() && !docFile_.empty() && path == docFile_;
    markup::MarkupDocument opened;
    if (!error && !sameDocument) error = OpenMarkup(source, loaded, opened, notice);
    if (!error && !sameDocument) {
        ParkDocument();
        ForgetDocument();
        if (!opened.Empty() && !doc_.Reset(opened.Base(), opened.Objects())) doc_.Clear();
    }
    if (!error) {
        picSwap_ = loaded;
        // A capture never saved has no file to name: the kept copy's own path means nothing to the user.
        SetStatus(!notice && file.empty() && entry && !entry->Copy.empty()
                      ? Msg(kMsgKeptPictureShown)
                      : FormatMessageText(Msg(notice ? notice : 10017), file.empty() ? path : file));
        SetCurrentFile(file);
        entryPath_ = path;
        if (addHistory) {
            kept_.AddFile(path);
            AddHistory(path);
        }
    } else if (error.Number == kErrInvalidPicture) {
        ShowMessageBox(hwnd_, Msg(10021), kProgramName, MB_ICONWARNING);
    } else if (error.Number != kErrFileNotFound && error.Number != kErrRefusedQuietly) {
        ShowMessageBox(hwnd_, ErrorText(error), kProgramName, MB_ICONERROR);
    }
    ShowPic();
    // What the kept copy holds beyond the file is not saved in it.
    if (!error && source != path && !file.empty()) unsaved_ = true;
    return !error;
}

bool frmMain::SavePic(const std::string& path) {
    std::string written;
    FileError error;
    // A picture with objects keeps them in an editable PNG; BMP and JPEG get the flattened picture.
    if (SaveTargetFor(path).Format == SaveFormat::Png && !doc_.Items().empty()) {
        written = SaveTargetFor(path).Path;
        error = SaveMarkupFile(doc_, written);
    } else {
        error = SavePictureFile(picSwap_, path, written);
    }
    if (written.empty()) return false;  // a blank path: nothing to do
    if (error) {
        std::string text = error.Number == kErrFileAccess
                               ? ExpandLineBreaks(Msg(10019)) + "\r\n\r\n" + SaveFailureText(written, error)
                               : SaveFailureText(written, error);
        ShowMessageBox(hwnd_, text, kProgramName, MB_ICONERROR);
        return false;
    }
    if (!doc_.Empty()) docFile_ = written;
    unsaved_ = false;
    SetCurrentFile(written);
    const HistoryMode mode = HistoryModeFromStatus(historyMode_);
    const std::string was = entryPath_;
    if (!was.empty() && kept_.Find(was)) {
        const std::string now = kept_.Saved(was, written);
        if (!kept_.Find(was)) {
            // A capture saved: its entry is the file now, one entry and not two.
            if (history_.HasEntry(mode, now)) history_.RemoveEntry(mode, now);
            history_.RenameEntry(mode, was, now);
            history_.SelectEntry(mode, now);
            entryPath_ = now;
        } else if (now != was) {
            AddHistory(written);
            entryPath_ = written;
        }
    } else {
        kept_.AddFile(written);
        AddHistory(written);
        entryPath_ = written;
    }
    ApplyKeptLimits();
    SetStatus(FormatMessageText(Msg(10016), written));
    return true;
}

void frmMain::AutoSavePic() {
    if (picSwap_.Empty()) return;
    CurrentSettings& settings = Settings();
    AutoSaveName name = autoSave_.Next(settings.SavePath, settings.PrefixFileName, settings.SuffixFileName, PathExists,
                                       AutoSaveExtension(settings.AutoSaveFormat));
    settings.SavePath = name.Folder;
    if (name.Overflow) {
        ShowMessageBox(hwnd_, Msg(10008), kProgramName, MB_ICONERROR);
        return;
    }
    PrepareSaveFolder(name.Folder);
    if (SavePic(name.Path) && settings.BeepWhenSaving != "0") PlayWave(App().BeepFile);
}

void frmMain::AddHistory(const std::string& path, bool open) {
    history_.AddHistory(HistoryModeFromStatus(historyMode_), path, picSwap_, open);
}

void frmMain::StepHistory(int32_t d) { history_.StepHistory(HistoryModeFromStatus(historyMode_), d); }

void frmMain::ClearHistory() {
    if (kept_.Active()) {
        int32_t unsavedCount = 0;
        for (const auto& [key, entry] : kept_.Entries())
            if (entry.Entry.File.empty()) ++unsavedCount;
        if (unsavedCount > 0 &&
            !ConfirmDelete(FormatMessageText(Msg(kMsgClearUnsaved), std::to_string(unsavedCount))))
            return;
        std::vector<std::string> paths;
        for (const auto& [key, entry] : kept_.Entries()) paths.push_back(entry.Path);
        for (const std::string& path : paths) kept_.Remove(path);
    }
    parked_.clear();
    entryPath_.clear();
    history_.ClearHistory(HistoryModeFromStatus(historyMode_));
}

void frmMain::RemoveHistoryEntry(const std::string& path) {
    if (kept_.OnlyInStore(path) && !ConfirmDelete(Msg(kMsgRemoveUnsaved))) return;
    kept_.Remove(path);
    parked_.erase(path);
    if (path == entryPath_) entryPath_.clear();
    history_.RemoveEntry(HistoryModeFromStatus(historyMode_), path);
}

void frmMain::ListKeptHistory() {
    if (!kept_.Active()) return;
    kept_.Flush();
    std::vector<std::string> skipped;
    std::vector<KeptHistory::Listed> listed = kept_.Load(skipped);
    const HistoryMode mode = HistoryModeFromStatus(historyMode_);
    // Each entry goes on top: the oldest first, so that the newest ends up first.
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
        const std::string source = it->Copy.empty() ? it->Entry.File : it->Copy;
        Picture thumbnail;
        if (mode == HistoryMode::Preview && LoadPictureFile(source, thumbnail)) {
            skipped.push_back(source.substr(source.find_last_of('\\') + 1));
            kept_.Forget(it->Path);
            continue;
        }
        history_.AddHistory(mode, it->Path, thumbnail, false);
    }
    if (!entryPath_.empty()) history_.SelectEntry(mode, entryPath_);
    if (!skipped.empty()) {
        std::string names;
        for (const std::string& name : skipped) names += (names.empty() ? "" : ", ") + name;
        SetStatus(FormatMessageText(Msg(kMsgKeptSkipped), names));
    }
}

void frmMain::KeepNewPicture() {
    entryPath_ = kept_.AddPicture(doc_);
    if (entryPath_.empty()) return;
    const HistoryMode mode = HistoryModeFromStatus(historyMode_);
    history_.AddHistory(mode, entryPath_, picSwap_, false);
    history_.SelectEntry(mode, entryPath_);
}

void frmMain::ApplyKeptLimits() {
    kept_.SetLimits(KeptLimitsFromText(Settings().KeptPictures, Settings().KeptMegabytes));
    const HistoryMode mode = HistoryModeFromStatus(historyMode_);
    for (const std::string& path : kept_.Prune()) {
        parked_.erase(path);
        if (path == entryPath_) continue;  // the picture on the canvas keeps its place in the pane
        history_.RemoveEntry(mode, path);
    }
}

bool frmMain::OnFileCommand(int id) {
    switch (id) {
        case kTbOpen:
        case kCmdOpen: mnuOpen(); return true;
        case kTbSave:
        case kCmdSave: mnuSave(); return true;
        case kCmdSaveAs: mnuSaveAs(); return true;
        case kTbCopyTo:
        case kCmdCopyTo: mnuFileOperator(0); return true;
        case kTbMoveTo:
        case kCmdMoveTo: mnuFileOperator(1); return true;
        case kTbDelete:
        case kCmdDelete: mnuFileOperator(2); return true;
        case kCmdPrint: mnuPrint(); return true;
        default: return false;
    }
}

void frmMain::OnFileMenuOpening(HMENU menu) {
    const UINT picture = picSwap_.Empty() ? MF_GRAYED : MF_ENABLED;
    const UINT file = currentFile_.empty() ? MF_GRAYED : MF_ENABLED;
    for (int id : {kCmdSave, kCmdSaveAs, kCmdPrint}) EnableMenuItem(menu, id, MF_BYCOMMAND | picture);
    for (int id : {kCmdCopyTo, kCmdMoveTo, kCmdDelete}) EnableMenuItem(menu, id, MF_BYCOMMAND | file);
}

void frmMain::mnuOpen() {
    std::string path = ShowOpenDialog(hwnd_, Msg(10004), Msg(10007), "", kOpenFlags);
    if (path.find_first_not_of(' ') != std::string::npos) OpenPicture(path, true);
}

void frmMain::mnuSave() {
    if (picSwap_.Empty()) return;
    if (SavesInPlace(currentFile_)) SavePic(currentFile_);
    else mnuSaveAs();
}

void frmMain::mnuSaveAs() {
    if (picSwap_.Empty()) return;
    const CurrentSettings& settings = Settings();
    const std::string filter = Msg(10005);
    const std::string folder =
        SaveAsStartFolder(ReadSetting(kValSaveAsFolder), settings.SavePath, PicturesFolder(), IsExistingFolder);
    const std::string extension = AutoSaveExtension(ReadSetting(kValSaveAsFormat));
    SaveDialogChoice choice;
    choice.FilterIndex = FilterIndexFor(filter, extension);
    choice.DefaultExtension = extension;
    // The name automatic saving would take next in that folder, without the folder: the box shows a name.
    int32_t counter = 0;
    const AutoSaveName proposed = FindFreeAutoSaveName(folder.empty() ? "" : WithTrailingBackslash(folder),
                                                       settings.PrefixFileName, settings.SuffixFileName, counter,
                                                       PathExists, extension);
    if (!proposed.Overflow) choice.InitialName = proposed.Path.substr(proposed.Path.find_last_of('\\') + 1);
    const std::string chosen =
        WithoutTrailingNul(ShowSaveDialog(hwnd_, filter, Msg(10006), folder.empty() ? " " : folder, kSaveAsFlags, choice));
    if (chosen.empty()) return;
    const SaveAsTarget target = SaveAsTargetFor(chosen, filter, choice.FilterIndex);
    // The dialog asked about the name it gave back; a name that gained an extension here was not asked about.
    if (target.Path != chosen && PathExists(target.Path) &&
        ShowMessageBox(hwnd_, FormatMessageText(Msg(kMsgSaveAsReplace), target.Path), kProgramName,
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!SavePic(target.Path)) return;
    WriteSetting(kValSaveAsFolder, target.Folder);
    WriteSetting(kValSaveAsFormat, target.Format);
}

void frmMain::mnuFileOperator(int index) {
    if (currentFile_.empty()) return;
    if (index == 2) {
        std::string question = FormatMessageText(Msg(10014), currentFile_);
        if (ShowMessageBox(hwnd_, question, kProgramName, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        const std::string gone = currentFile_;
        std::string reason;
        if (!RecyclePictureFile(gone, reason)) {
            ShowMessageBox(hwnd_, FormatMessageText(Msg(kMsgRecycleFailed), gone + "\r\n" + reason), kProgramName,
                           MB_ICONERROR);
            return;
        }
        // The picture went with its file: its entry, the canvas and the caption follow.
        kept_.Remove(gone);
        parked_.erase(gone);
        history_.RemoveEntry(HistoryModeFromStatus(historyMode_), gone);
        picSwap_.Reset();
        ForgetDocument();
        entryPath_.clear();
        SetCurrentFile("");
        ShowPic();
        SetStatus(FormatMessageText(Msg(kMsgRecycled), gone));
        return;
    }
    std::string folder = BrowseForFolder(Msg(10009), hwnd_);
    if (folder == "\\") return;
    std::string destination;
    try {
        destination = FileOperationDestination(folder, currentFile_);
    } catch (const ErrorObject&) {
        return;
    }
    if (index == 0) CopyPictureFile(currentFile_, destination);
    else MovePictureFile(currentFile_, destination);
}

void frmMain::mnuPrint() {
    if (picSwap_.Empty()) return;
    std::vector<InstalledPrinter> printers = InstalledPrinters();
    if (printers.empty()) {
        ShowMessageBox(hwnd_, Msg(10030), kProgramName, MB_ICONERROR);
        return;
    }
    try {
        cPrinter printer(ChoosePrinter(printers, DefaultPrinterName()));
        SharedCapture().PrintPictureToFitPage(printer, picSwap_);
        // Ending the document is what hands the page to the printer.
        printer.EndDoc();
    } catch (const ErrorObject& e) {
        ShowMessageBox(hwnd_, (std::to_string(e.Number) + " - " + e.Description), kProgramName, MB_ICONERROR);
    }
}

}  // namespace plenvue
