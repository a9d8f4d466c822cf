#include "error_text.h"

#include <cstddef>
#include <cstdio>

#include "Common/error_report.h"

namespace {

struct Sentence {
    unsigned number;
    const char* text;
};

// One sentence per generic error number; numbers without one get the
// general sentence at the end of describeError.
const Sentence kSentences[] = {
    {2, "the operation could not be carried out on this connection"},
    {3, "this computer ran out of memory"},
    {5, "the operation was cancelled"},
    {7, "the camera does not support this operation"},
    {10, "a component the camera needs is missing (the serial camera library BVCLL.DLL)"},
    {11, "no port has been chosen yet"},
    {34, "the camera has no such file"},
    {41, "the file is read-only"},
    {42, "the camera's card is full"},
    {43, "an entry of that name already exists"},
    {64, "the camera has no such folder"},
    {65, "the camera could not read the folder"},
    {66, "the camera has no such entry"},
    {67, "an entry of that name already exists"},
    {68, "the folder is not empty"},
    {96, "the camera refused the request"},
    {97, "the connection to the camera is no longer valid"},
    {101, "the library is missing an operation"},
    {128, "no camera answers on this port"},
    {129, "the camera is busy; try again"},
    {130, "the port names no camera model to open (install the models, or give usb MODELID)"},
    {132, "the camera's card is full"},
    {135, "the camera has no card"},
    {136, "the camera's card has an error"},
    {139, "this camera model is not installed (run bvsetup install models.ini)"},
    {163, "the file on this computer could not be opened"},
    {165, "the file on this computer could not be read"},
    {166, "the file on this computer could not be read"},
    {167, "the file on this computer could not be read"},
    {168, "the file on this computer could not be written"},
    {192, "the port is in use by another program"},
    {193, "the camera was disconnected"},
    {194, "the camera on this port is not compatible"},
};

// The message transport's own statuses, by number.
const Sentence kMessageSentences[] = {
    {1, "the camera gave no answer in time"},
    {2, "this computer ran out of memory"},
    {3, "the exchange could not be handed to a worker thread"},
    {4, "waiting for the exchange failed"},
    {5, "the destination of the data failed to open, take the data or close"},
    {6, "the destination of the data lacks a callback the exchange needs"},
    {7, "another exchange was started while this thread waits for one"},
};

const char* componentText(unsigned component) {
    switch (component) {
    case 0x02: return "camera";
    case 0x09: return "setup";
    case 0x0a: return "base library";
    case 0x0c: return "message";
    default: return nullptr;
    }
}

template <std::size_t N>
const char* sentenceFor(const Sentence (&sentences)[N], unsigned number) {
    for (const Sentence& s : sentences)
        if (s.number == number) return s.text;
    return "the operation failed";
}

}  // namespace

std::string describeError(DWORD code) {
    const unsigned component = (code >> 24) & 0x7f;
    const unsigned number = code & 0xffff;
    const bool specific = (code & 0x80000000u) != 0;
    char componentBuffer[24], nameBuffer[24];
    const char* componentName = componentText(component);
    if (!componentName) {
        std::snprintf(componentBuffer, sizeof componentBuffer, "component %u", component);
        componentName = componentBuffer;
    }
    const bool message = component == 0x0c;  // the message transport numbers its own statuses
    const char* errorName = specific ? nullptr : message ? bv::messageErrorName(number) : bv::errorName(number);
    if (!errorName) {
        std::snprintf(nameBuffer, sizeof nameBuffer, "error 0x%04x", number);
        errorName = nameBuffer;
    }
    const char* sentence = specific  ? "the operation failed"
                           : message ? sentenceFor(kMessageSentences, number)
                                     : sentenceFor(kSentences, number);
    char text[200];
    std::snprintf(text, sizeof text, "0x%08lx (%s, %s): %s", static_cast<unsigned long>(code), componentName,
                  errorName, sentence);
    return text;
}

std::string describeHostError(const std::string& action, DWORD win32Error) {
    char message[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, win32Error, 0, message,
                   sizeof message, nullptr);
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    char code[40];
    std::snprintf(code, sizeof code, "(Windows error %lu)", static_cast<unsigned long>(win32Error));
    return action + ": " + (text.empty() ? std::string() : text + " ") + code;
}
