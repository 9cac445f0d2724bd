// The effects dialog: the one value of colour glasses, noise, fade or lighten, set while a
// preview of the top-left part of the picture shows the effect.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/CommonControls_win.h"
#include "controls/FormDialog_win.h"
#include "effects/FilterControls.h"
#include "effects/clsImageProcessDIB.h"
#include "image/clsDIBSection.h"
#include "image/Picture_win.h"
#include "base/win/WindowSubclass_win.h"
#include "base/win/modCBSubclass_win.h"

namespace plenvue {

class frmFilters : public FormDialog, public IMessageTarget {
public:
    // Control ids of the dialog.
    static constexpr int kPreviewId = 1001, kHueId = 1002, kSelectedId = 1003, kPercentId = 1004,
                         kUniformId = 1005, kRandomId = 1006, kLabelId = 1007, kPreviewLabelId = 1008;
    // Window class of the drawn boxes (preview, hue bar, swatch).
    static constexpr const char* kBoxClass = "PlenvueFilterBox";

    frmFilters() = default;
    ~frmFilters() override = default;
    frmFilters(const frmFilters&) = delete;
    frmFilters& operator=(const frmFilters&) = delete;

    int32_t FilterType() const { return filterType_; }
    void FilterType(int32_t type) { filterType_ = type; }
    int32_t BaseResID() const { return baseResId_; }
    void BaseResID(int32_t id) { baseResId_ = id; }
    bool Cancelled() const { return cancelled_; }
    float Hue() const { return hue_; }
    bool Random() const { return random_; }
    int32_t Percentage() const { return percentage_; }

    // The picture whose top-left part the preview box shows at its natural size.
    void PreviewPicture(const Picture& picture) { source_ = picture; }

    void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    DialogTemplate Template() const override;
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnUnload() override;

private:
    // The drawn boxes' paint and mouse messages; true when handled.
    bool BoxMessage(HWND box, UINT msg, LPARAM lParam);
    void BuildAmountControls();
    void BuildHueControls();
    void ApplyTexts();
    void OnHueMouseDown(bool leftButton, int32_t x, int32_t y);
    void OnPercentChange();
    void OnOptionClick();
    void SetPercentText(const std::string& text);
    std::string PercentText() const;
    void ReloadPreview();
    void PaintPreview();
    void PaintBox(HWND box, HDC dc);
    HWND MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                   DWORD exStyle = 0);

    int32_t filterType_ = 0;
    int32_t baseResId_ = 6001;
    bool cancelled_ = true;
    float hue_ = 0.0f;
    bool random_ = false;
    int32_t percentage_ = 0;

    Picture source_;
    HWND picPreview_ = nullptr, picHue_ = nullptr, picSelected_ = nullptr, txtPercent_ = nullptr;
    HWND optNoise_[2] = {nullptr, nullptr};
    HWND lblFilters_ = nullptr;
    HWND cmdOK_ = nullptr, cmdCancel_ = nullptr;
    int32_t anchorLeft_ = 0, anchorTop_ = 0;  // shpFilter's place
    int32_t dpi_ = 96;                        // the dialog's, for the sizes designed at 96
    int Scaled(int length96) const;
    int32_t markerX_ = 0;                     // linSelected's column on the hue bar
    COLORREF swatch_ = 0;
    FilterControlLayout layout_;
    clsDIBSection original_;  // the box's picture: the unchanged preview
    clsDIBSection preview_;   // what the box shows
    clsImageProcessDIB effect_;
    CTrackBarCtl trackBar_;
    CUpDownCtl upDown_;
    MessageTargetAttachment target_;
    WindowSubclass boxes_[3];  // preview, hue bar, swatch
    bool active_ = false;
};

}  // namespace plenvue
