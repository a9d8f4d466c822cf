#include "picking_dialog.h"

#include <algorithm>
#include <cstdio>

#include "window_class.h"

namespace {

constexpr wchar_t kClassName[] = L"Bvcl2STIPicking";
constexpr wchar_t kTitle[] = L"Bilder von der Kamera \u00fcbertragen";
constexpr int kThumbnail = 96, kMargin = 8, kButtonWidth = 96, kButtonHeight = 26;
constexpr int kTransferButton = IDOK, kCancelButton = IDCANCEL, kListId = 100;

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// "BRV_0001.JPG (12 KB)".
std::wstring label(const PickingEntry& e) {
    wchar_t size[32];
    std::swprintf(size, 32, L" (%lu KB)", static_cast<unsigned long>((e.size + 1023) / 1024));
    return widen(e.name) + size;
}

// The thumbnail centred on a grey square of the image list's size.
HBITMAP squareBitmap(const Bitmap& thumbnail) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kThumbnail, -kThumbnail, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const int stride = (kThumbnail * 3 + 3) & ~3;
    auto* pixels = static_cast<BYTE*>(bits);
    std::fill(pixels, pixels + stride * kThumbnail, BYTE{0xc0});
    const int w = std::min<int>(thumbnail.width, kThumbnail), h = std::min<int>(thumbnail.height, kThumbnail);
    const int left = (kThumbnail - w) / 2, top = (kThumbnail - h) / 2;
    for (int y = 0; y < h; ++y)
        std::copy_n(&thumbnail.bgr[size_t(y) * thumbnail.width * 3], size_t(w) * 3, &pixels[(top + y) * stride + left * 3]);
    return bitmap;
}

}  // namespace

bool PickingDialog::show(HINSTANCE instance, HWND parent, const std::vector<PickingEntry>& entries, Finish finish) {
    close();
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!registerWindowClass(instance, kClassName, windowProc)) return false;
    instance_ = instance;
    finish_ = std::move(finish);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                              CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, parent, nullptr, instance, this);
    if (!window_) return false;
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON |
                            LVS_AUTOARRANGE, 0, 0, 0, 0, window_, reinterpret_cast<HMENU>(kListId), instance, nullptr);
    const struct { int id; const wchar_t* text; } buttons[] = {{kTransferButton, L"\u00dcbertragen"},
                                                               {kCancelButton, L"Abbrechen"}};
    for (const auto& b : buttons) {
        HWND button = CreateWindowExW(0, L"BUTTON", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    images_ = ImageList_Create(kThumbnail, kThumbnail, ILC_COLOR24, static_cast<int>(entries.size()), 1);
    ListView_SetImageList(list_, images_, LVSIL_NORMAL);
    for (size_t i = 0; i < entries.size(); ++i) {
        HBITMAP bitmap = squareBitmap(entries[i].thumbnail);
        const int image = bitmap ? ImageList_Add(images_, bitmap, nullptr) : -1;
        if (bitmap) DeleteObject(bitmap);
        std::wstring text = label(entries[i]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = &text[0];
        item.iImage = image;
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    layout();
    ShowWindow(window_, SW_SHOWNORMAL);
    return true;
}

void PickingDialog::close() {
    if (window_) DestroyWindow(window_);  // the list goes with its parent
    window_ = list_ = nullptr;
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    if (instance_) UnregisterClassW(kClassName, instance_);
}

void PickingDialog::layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int buttonsTop = client.bottom - kMargin - kButtonHeight;
    MoveWindow(list_, kMargin, kMargin, client.right - 2 * kMargin, buttonsTop - 2 * kMargin, TRUE);
    MoveWindow(GetDlgItem(window_, kCancelButton), client.right - kMargin - kButtonWidth, buttonsTop, kButtonWidth,
               kButtonHeight, TRUE);
    MoveWindow(GetDlgItem(window_, kTransferButton), client.right - 2 * (kMargin + kButtonWidth), buttonsTop,
               kButtonWidth, kButtonHeight, TRUE);
}

// Hides the window and reports the choice; the source closes the window
// when it is disabled.
void PickingDialog::finish(bool transfer) {
    std::vector<size_t> chosen;
    for (int i = -1; transfer && (i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) >= 0;)
        chosen.push_back(static_cast<size_t>(i));
    if (transfer && chosen.empty()) return;  // nothing picked yet: the window stays
    ShowWindow(window_, SW_HIDE);
    if (finish_) finish_(chosen);
}

LRESULT CALLBACK PickingDialog::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<PickingDialog*>(windowObject(window, message, lParam));
    if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may leave a window procedure.
    try {
        if (message == WM_COMMAND && (LOWORD(wParam) == kTransferButton || LOWORD(wParam) == kCancelButton)) {
            self->finish(LOWORD(wParam) == kTransferButton);
            return 0;
        }
        if (message == WM_CLOSE) {
            self->finish(false);
            return 0;
        }
    } catch (...) {
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
