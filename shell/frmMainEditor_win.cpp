// The main window's side of the mark-up editor: the Edit and Draw menus, the tool strip, the
// remembered styles and recent colours, and the status bar's step and zoom parts. The editor
// itself (tools, drags, text box, zoom) is the canvas window, markup/EditorView_win.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/Handles_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"
#include "markup/ToolStyles.h"
#include "settings/modRegistry_win.h"
#include "shell/FileCommands_win.h"
#include "shell/FileRules.h"
#include "shell/ImageCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"

namespace plenvue {

namespace {

constexpr const char* kValRecentColours = "Recent Colors";

using markup::MarkupObject;
using markup::Rgba;
using markup::Tool;

COLORREF ToColorRef(Rgba c) { return RGB(c.r, c.g, c.b); }
Rgba FromColorRef(COLORREF c) { return Rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255}; }

// The colour a tool is chosen by: a step's badge and a solid redaction are their fill.
Rgba& MainColour(Tool tool, MarkupObject& style) {
    return tool == Tool::Step || tool == Tool::Redact ? style.fill : style.stroke;
}

bool Fills(Tool tool) { return tool == Tool::Rect || tool == Tool::Ellipse; }

std::string HexColour(Rgba c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

// A document written as the path's format says: an editable PNG when it has objects.
bool WriteDocument(const markup::MarkupDocument& doc, const std::string& path) {
    if (SaveTargetFor(path).Format == SaveFormat::Png && !doc.Items().empty()) return !SaveMarkupFile(doc, path);
    std::string written;
    return !SavePictureFile(FlattenedPicture(doc), path, written);
}

}  // namespace

bool frmMain::HasUnsavedObjects() const {
    if (unsaved_ && !doc_.Items().empty()) return true;
    for (const auto& [path, p] : parked_)
        if (p.unsaved && !p.doc->Items().empty()) return true;
    return false;
}

void frmMain::ParkDocument() {
    editor_.EndText(true);
    const std::string entry = std::exchange(entryPath_, std::string());
    if (doc_.Empty() || doc_.StepCount() == 0) return;
    // By its history entry: its file, or the kept copy of a picture never saved (which holds
    // every drawing already: it is written at each step). Without either there is nothing to
    // take it up again by.
    const std::string key = entry.empty() ? currentFile_ : entry;
    if (key.empty()) return;
    ParkedEdit p;
    p.doc = std::make_unique<markup::MarkupDocument>();
    p.doc->SetTextPainter(&textPainter_);
    p.doc->Swap(doc_);
    p.docFile = docFile_;
    p.currentFile = currentFile_;
    p.unsaved = unsaved_ && !currentFile_.empty();
    parked_[key] = std::move(p);
}

bool frmMain::ResumeParked(const std::string& path) {
    auto it = parked_.find(path);
    if (it == parked_.end()) return false;
    ParkedEdit p = std::move(it->second);
    parked_.erase(it);
    ParkDocument();
    ForgetDocument();
    doc_.Swap(*p.doc);
    docFile_ = p.docFile;
    entryPath_ = path;
    picSwap_ = FlattenedPicture(doc_);
    SetCurrentFile(p.currentFile);
    SetStatus(FormatMessageText(Msg(10017), path));
    ShowPic();
    unsaved_ = p.unsaved;  // a picture taken up again keeps what was not saved of it
    return true;
}

void frmMain::WireEditor() {
    doc_.SetTextPainter(&textPainter_);
    editor_.StepMade = [this] { OnEditorStep(); };
    editor_.ZoomChanged = [this] { UpdateEditStatus(); };
    editor_.ToolChanged = [this] {
        if (loaded_) loaded_->bars.CheckTool(static_cast<int>(editor_.CurrentTool()));
    };
    editor_.CropChanged = [this](const markup::PixelRect* crop) {
        if (crop) SetStatus(FormatMessageText(Msg(kMsgCropSize), std::to_string(crop->Width()) + " x " + std::to_string(crop->Height())));
    };
    LoadToolStyles();
}

void frmMain::LoadToolStyles() {
    for (int i = 0; i < markup::kToolCount; ++i) {
        const auto tool = static_cast<Tool>(i);
        const std::string name = markup::ToolStyleValueName(tool);
        if (!name.empty()) editor_.SetStyle(tool, markup::ParseToolStyle(tool, ReadSetting(name)));
    }
    recentColours_ = markup::ParseRecentColours(ReadSetting(kValRecentColours));
}

void frmMain::OnEditorStep() {
    picSwap_ = FlattenedPicture(doc_);
    unsaved_ = true;
    // Every step is kept at once (off this thread): a crash loses no drawing.
    kept_.KeepCopy(entryPath_, doc_);
    UpdateEditStatus();
}

void frmMain::UpdateEditStatus() {
    if (!loaded_) return;
    std::optional<markup::StepKind> kind = doc_.UndoKind();
    loaded_->bars.SetStepText(kind ? Msg(kMsgUndoStepFirst + static_cast<int>(*kind)) : std::string());
    loaded_->bars.SetZoomText(doc_.Empty() ? std::string() : std::to_string(editor_.Zoom().Percent()) + " %");
}

Tool frmMain::StyleTool() const {
    const Tool current = editor_.CurrentTool();
    if (markup::TypeOfTool(current)) return current;
    markup::EditorController* controller = const_cast<markup::EditorView&>(editor_).Controller();
    if (controller && !controller->Selection().empty()) {
        if (const markup::Item* item = doc_.Find(controller->Selection().front())) {
            for (int i = 0; i < markup::kToolCount; ++i)
                if (markup::TypeOfTool(static_cast<Tool>(i)) == item->object.type) return static_cast<Tool>(i);
        }
    }
    return Tool::Rect;
}

void frmMain::ChangeStyle(const std::function<void(MarkupObject&)>& change) { ChangeStyleOf(StyleTool(), change); }

void frmMain::ChangeStyleOf(Tool tool, const std::function<void(MarkupObject&)>& change, bool restyle) {
    MarkupObject style = editor_.Style(tool);
    change(style);
    editor_.SetStyle(tool, style);
    const std::string name = markup::ToolStyleValueName(tool);
    if (!name.empty()) WriteSetting(name, markup::FormatToolStyle(editor_.Style(tool)));
    if (restyle)
        editor_.Apply([&](markup::EditorController& c) { return !c.Selection().empty() && c.RestyleSelection(editor_.Style(tool)); });
}

void frmMain::UseStyleColour(Rgba colour) {
    const Tool tool = StyleTool();
    ChangeStyle([&](MarkupObject& s) {
        const uint8_t alpha = MainColour(tool, s).a ? MainColour(tool, s).a : 255;
        MainColour(tool, s) = Rgba{colour.r, colour.g, colour.b, alpha};
        if (Fills(tool) && s.fill.Visible()) s.fill = Rgba{colour.r, colour.g, colour.b, s.fill.a};
    });
    markup::PushRecentColour(recentColours_, colour);
    WriteSetting(kValRecentColours, markup::FormatRecentColours(recentColours_));
}

void frmMain::ChooseStyleColour() {
    const Tool tool = StyleTool();
    MarkupObject style = editor_.Style(tool);
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd_;
    cc.rgbResult = ToColorRef(MainColour(tool, style));
    for (size_t i = 0; i < recentColours_.size() && i < 16; ++i) customColors_[i] = ToColorRef(recentColours_[i]);
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    ModalDialogScope modal;
    if (!ChooseColorW(&cc)) return;
    UseStyleColour(FromColorRef(cc.rgbResult));
}

void frmMain::ChooseStyleFont() {
    MarkupObject style = editor_.Style(Tool::Text);
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(style.size));
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, Widen(style.font).c_str(), LF_FACESIZE);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = hwnd_;
    cf.lpLogFont = &font;
    cf.rgbColors = ToColorRef(style.stroke);
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS | CF_NOVERTFONTS;
    {
        ModalDialogScope modal;
        if (!ChooseFontW(&cf)) return;
    }
    // The size is the letters' height in picture pixels, as chosen at the screen's scale.
    const double size = std::clamp(std::abs(static_cast<double>(font.lfHeight)), 4.0, 400.0);
    const Rgba ink = FromColorRef(cf.rgbColors);
    ChangeStyleOf(Tool::Text, [&](MarkupObject& next) {
        next.font = Narrow(font.lfFaceName);
        next.size = size;
        next.bold = font.lfWeight >= FW_SEMIBOLD;
        next.stroke = Rgba{ink.r, ink.g, ink.b, next.stroke.a ? next.stroke.a : uint8_t{255}};
    });
}

bool frmMain::OnEditorCommand(int id) {
    if (id >= kCmdToolFirst && id <= kCmdToolLast) {
        editor_.SetTool(static_cast<Tool>(id - kCmdToolFirst));
        SetFocus(canvas_);
        return true;
    }
    if (id >= kCmdRecentFirst && id <= kCmdRecentLast) {
        const size_t index = static_cast<size_t>(id - kCmdRecentFirst);
        if (index < recentColours_.size()) UseStyleColour(recentColours_[index]);
        return true;
    }
    if (id >= kCmdWidthFirst && id <= kCmdWidthLast) {
        const int width = kLineWidths[id - kCmdWidthFirst];
        ChangeStyle([&](MarkupObject& s) { s.width = width; });
        return true;
    }
    switch (id) {
    case kCmdRedo:
        editor_.EndText(true);
        if (doc_.Redo()) {
            picSwap_ = FlattenedPicture(doc_);
            unsaved_ = true;
            kept_.KeepCopy(entryPath_, doc_);
            ShowPic();
        }
        return true;
    case kCmdEditCopy: CopyPicture(true); return true;
    case kCmdEditPaste: PastePicture(); return true;
    case kCmdEditDelete: {
        markup::EditorController* c = editor_.Controller();
        if (c && !c->Selection().empty()) editor_.Apply([](markup::EditorController& e) { return e.DeleteSelection(); });
        else mnuFileOperator(2);
        return true;
    }
    case kCmdSelectAll:
        editor_.Apply([](markup::EditorController& c) {
            c.SelectAll();
            return true;
        });
        return true;
    case kCmdZoomFit: editor_.Fit(); return true;
    case kCmdZoomActual: editor_.Actual(); return true;
    case kCmdZoomIn: editor_.Step(true); return true;
    case kCmdZoomOut: editor_.Step(false); return true;
    case kCmdStyleColour: ChooseStyleColour(); return true;
    case kCmdFill: {
        const Tool tool = StyleTool();
        ChangeStyle([&](MarkupObject& s) {
            if (!Fills(tool)) return;
            s.fill = s.fill.Visible() ? Rgba{} : Rgba{s.stroke.r, s.stroke.g, s.stroke.b, 255};
        });
        return true;
    }
    case kCmdFont: ChooseStyleFont(); return true;
    case kCmdMosaic:
        // A redaction's style is the next one's: objects already redacted are pixels now.
        ChangeStyleOf(Tool::Redact, [](MarkupObject& s) {
            s.style = s.style == markup::RedactStyle::Mosaic ? markup::RedactStyle::Solid : markup::RedactStyle::Mosaic;
        }, false);
        return true;
    default: return false;
    }
}

void frmMain::OnEditMenuOpening(HMENU menu) {
    markup::EditorController* c = editor_.Controller();
    const bool selected = c && !c->Selection().empty();
    auto enable = [&](int id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    enable(kCmdEditUndo, doc_.CanUndo());
    enable(kCmdRedo, doc_.CanRedo());
    enable(kCmdEditCopy, !picSwap_.Empty());
    enable(kCmdEditDelete, selected || !currentFile_.empty());
    enable(kCmdSelectAll, !doc_.Items().empty());
}

void frmMain::OnDrawMenuOpening(HMENU menu) {
    const Tool tool = StyleTool();
    const MarkupObject& style = editor_.Style(tool);
    CheckMenuRadioItem(menu, kCmdToolFirst, kCmdToolLast, kCmdToolFirst + static_cast<int>(editor_.CurrentTool()),
                       MF_BYCOMMAND);
    for (int i = kCmdWidthFirst; i <= kCmdWidthLast; ++i)
        CheckMenuItem(menu, i, MF_BYCOMMAND | (std::lround(style.width) == kLineWidths[i - kCmdWidthFirst] ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, kCmdFill, MF_BYCOMMAND | (Fills(tool) && style.fill.Visible() ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(menu, kCmdFill, MF_BYCOMMAND | (Fills(tool) ? MF_ENABLED : MF_GRAYED));
    const bool mosaic = editor_.Style(Tool::Redact).style == markup::RedactStyle::Mosaic;
    CheckMenuItem(menu, kCmdMosaic, MF_BYCOMMAND | (mosaic ? MF_CHECKED : MF_UNCHECKED));
    // Recent colours: a swatch and the colour's code each; the unused entries grayed.
    recentSwatches_.clear();
    const int side = GetSystemMetrics(SM_CYMENUCHECK) > 0 ? GetSystemMetrics(SM_CYMENUCHECK) : 13;
    WindowDC screen = WindowDC::Client(nullptr);
    for (int i = 0; i <= kCmdRecentLast - kCmdRecentFirst; ++i) {
        const int id = kCmdRecentFirst + i;
        const bool used = static_cast<size_t>(i) < recentColours_.size();
        std::wstring caption = used ? Widen(HexColour(recentColours_[static_cast<size_t>(i)])) : L"-";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
        info.dwTypeData = caption.data();
        info.fState = used ? MFS_ENABLED : MFS_GRAYED;
        info.hbmpItem = nullptr;
        if (used) {
            UniqueBitmap swatch(CreateCompatibleBitmap(screen.get(), side, side));
            MemoryDC dc(CreateCompatibleDC(screen.get()));
            if (swatch && dc) {
                SelectedObject keep(dc.get(), swatch.get());
                RECT r{0, 0, side, side};
                UniqueBrush fill(CreateSolidBrush(ToColorRef(recentColours_[static_cast<size_t>(i)])));
                FillRect(dc.get(), &r, fill.get());
                FrameRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
            info.hbmpItem = swatch.get();
            recentSwatches_.push_back(std::move(swatch));
        }
        SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info);
    }
}

bool frmMain::ConfirmClose() {
    editor_.EndText(true);
    if (!HasUnsavedObjects()) return true;
    const int answer = AskToSaveDrawings ? AskToSaveDrawings()
                                         : ShowMessageBox(hwnd_, Msg(kMsgSaveObjectsQuestion), kProgramName,
                                                          MB_YESNOCANCEL | MB_ICONQUESTION);
    switch (answer) {
    case IDYES:
        // Pictures set aside go back to their own files; the one on the canvas as Save does.
        for (auto& [path, p] : parked_)
            if (p.unsaved && !p.doc->Items().empty() && WriteDocument(*p.doc, p.currentFile)) p.unsaved = false;
        if (unsaved_ && !doc_.Items().empty()) mnuSave();
        return !HasUnsavedObjects();
    case IDNO: return true;
    default: return false;
    }
}

}  // namespace plenvue
