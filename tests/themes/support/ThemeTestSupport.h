#pragma once
// Helpers of the visual-style tests: which visual-styles library the process binds, the state of
// the recording stand-in, and pictures of widgets.

#include <QImage>

#include <string>

#include "tests/themes/support/RecordingUxTheme.h"

class QWidget;

namespace themes_test {

std::string RealLibraryPath();
std::string RecordingLibraryPath();
std::string PartialLibraryPath();
std::string MissingLibraryPath();

/// For one test the process binds the library at path: the services and every binding are
/// dropped before and after, and the application runs the Fusion style.
class ScopedThemeLibrary {
public:
    explicit ScopedThemeLibrary(const std::string& path);
    ~ScopedThemeLibrary();
    ScopedThemeLibrary(const ScopedThemeLibrary&) = delete;
    ScopedThemeLibrary& operator=(const ScopedThemeLibrary&) = delete;
};

/// The state of the recording library; it must be loaded (bound) at the time of the call.
recording::State& Recording();

/// The library at path is loaded in this process now.
bool IsLoaded(const std::string& path);

/// The widget as it paints now. The window is not shown for it: which window is active would
/// change the colours of some controls.
QImage Picture(QWidget* widget);
int DifferingPixels(const QImage& a, const QImage& b);

/// Paints a throwaway sample form once: the first slider Qt paints in a process draws its tick
/// marks in another colour than every later one, which would spoil comparisons of pictures.
void PaintOnceBeforeComparing();

}  // namespace themes_test
