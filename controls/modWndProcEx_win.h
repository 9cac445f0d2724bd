// Subclassing of scroll-view windows: the window carries its previous procedure in "OldWndProc"
// and its owning view in "ObjectPtr"; destroy, size, show and the scroll messages go to the owner.
#pragma once
#include <windows.h>

#include <cstdint>

namespace plenvue {

class ScrollView;

// Installs `procedure` on `window`. A window already subclassed this way counts as success.
// On failure shows the warning and returns false, leaving the window as it was.
bool SubclassScrollView(HWND window, WNDPROC procedure, ScrollView* owner);
// Puts the old procedure back and removes both properties; false when the window was not subclassed.
bool UnsubclassScrollView(HWND window);
// The procedure installed on scroll-view windows.
LRESULT CALLBACK ScrollViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
// Number of windows currently subclassed this way.
int32_t SubclassedScrollViewCount();

}  // namespace plenvue
