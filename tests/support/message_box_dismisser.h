// Ends every message box that the current thread shows while it lives, as
// if OK had been pressed, and counts them with their captions. A modal box
// would otherwise stop a test run. Wine shows no box at all without a
// display; shown() stays 0 then, and hasDisplay() says so.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bvtest {

class MessageBoxDismisser {
public:
    MessageBoxDismisser();
    ~MessageBoxDismisser();
    MessageBoxDismisser(const MessageBoxDismisser&) = delete;
    MessageBoxDismisser& operator=(const MessageBoxDismisser&) = delete;

    const std::vector<std::string>& captions() const;
    static bool hasDisplay();

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

}  // namespace bvtest
