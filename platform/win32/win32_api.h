// The real platform: the Win32 API, single-byte "A" forms.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/forms.h"
#include "platform/api.h"

namespace platform::win32 {

class Win32Api : public Api {
public:
    explicit Win32Api(HINSTANCE instance);
    ~Win32Api() override;
    void SetRuntime(forms::Runtime* runtime) { runtime_ = runtime; }

    // The message loop's keyboard handling for the active form (Tab between controls).
    bool TranslateDialogMessage(MSG& msg);

    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& def, char* buffer, std::uint32_t size,
                                           const std::string& file) override;
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override;
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
    std::int32_t RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, Handle* result) override;
    std::int32_t RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t reserved,
                                std::uint32_t type, const std::string& data,
                                std::uint32_t length) override;
    std::int32_t RegCloseKey(Handle key) override;
    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) override;
    bool StartProgram(const std::string& commandLine, std::int32_t windowStyle) override;
    void Beep() override;
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void SetWindowPos(Handle window, int insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    float TwipsPerPixelX() override;
    float TwipsPerPixelY() override;
    int ScreenWidthTwips() override;
    int ScreenHeightTwips() override;
    std::string AppPath() override;
    std::string AppExeName() override;
    void EndProgram() override;

    Handle CreateFormWindow(forms::Form& form) override;
    void DestroyFormWindow(forms::Form& form) override;
    void ShowFormWindow(forms::Form& form, bool visible) override;
    void MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) override;
    void FormOuterSize(forms::Form& form, int& widthTwips, int& heightTwips) override;
    void UpdateControl(forms::Form& form, forms::Control& control) override;
    void BringToFront(forms::Form& form) override;
    int TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items) override;

    struct FormWindow;

private:
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleForm(FormWindow& w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePicture(FormWindow& w, forms::Control& c, HWND hwnd, UINT msg, WPARAM wParam,
                          LPARAM lParam);
    void CreateControls(FormWindow& w);
    void FocusFirst(FormWindow& w);
    bool MakeWindow(FormWindow& w);
    HWND Owner();
    HWND Parking();
    SIZE Screen();
    RECT OuterRect(const forms::FormDesign& design);
    template <class F>
    void Dispatch(F&& f);
    int Dpi();
    int ToPixels(int twips);
    HFONT FontFor(FormWindow& w, const forms::Font& font);
    bool HasFace(const char* face);
    static bool FaceInstalled(const char* face);
    static void LoadCommonControls();

    HINSTANCE instance_;
    forms::Runtime* runtime_ = nullptr;
    HWND owner_ = nullptr;    // hidden owner of the windows that stay out of the taskbar
    HWND parking_ = nullptr;  // message-only parent of the placeholders
    UINT taskbarCreated_ = 0;
    std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
    std::vector<std::pair<std::string, bool>> faces_;  // font faces asked for: installed or not
    int dpi_ = 0;
    SIZE screen_ = {0, 0};  // the screen's size in pixels, 0 until asked for
};

}  // namespace platform::win32
