#pragma once
#include <windows.h>

#include <string>

namespace winhost {

// The player's hidden main window: answers the folder queries and counts end-of-file notices.
class HostWindow {
public:
    // Empty folder names make the queries answer 0.
    HostWindow(const std::string& settingsDir, const std::string& pluginDir);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window_; }
    int endOfFileCount() const { return endOfFile_; }
    int queries() const { return queries_; }
    // Handles waiting messages, waiting at most `ms` for the first.
    void pump(DWORD ms);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);

    std::string settingsDir_;
    std::string pluginDir_;
    HWND window_ = nullptr;
    int endOfFile_ = 0;
    int queries_ = 0;
};

} // namespace winhost
