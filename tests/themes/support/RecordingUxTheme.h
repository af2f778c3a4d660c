#pragma once
// A stand-in for the visual-styles library, built as a library of its own for the tests: it
// exports the same entry points, answers as the test scripts it and records every drawing call.
// The test reaches its state through the extra entry point RecordingUxThemeState.

#include <string>
#include <vector>

#include "platform/uxtheme/UxThemeApi.h"

namespace recording {

struct Call {
    std::string Function;
    std::u16string Class;  // of the theme handle used
    int Part = 0;
    int State = 0;
    uxtheme::RECT Rect;
    bool HasClip = false;
    uxtheme::RECT Clip;
    std::u16string Text;
    unsigned Edge = 0;
    unsigned Flags = 0;
    QObject* Window = nullptr;
};

struct State {
    // The script.
    int ThemeActive = 1;
    int AppThemed = 1;
    uxtheme::DWORD AppProperties = 7;
    int PartiallyTransparent = 1;
    std::vector<std::u16string> FailingClasses;  // OpenThemeData gives no handle for these
    // What was asked.
    std::vector<Call> Calls;
    int OpenCount = 0;
    int CloseCount = 0;

    std::vector<Call> CallsOf(const std::string& function) const
    {
        std::vector<Call> found;
        for (const Call& call : Calls) {
            if (call.Function == function) found.push_back(call);
        }
        return found;
    }
};

using StateFn = State* (*)();

}  // namespace recording
