#include "tests/themes/support/ThemeTestSupport.h"

#include <dlfcn.h>

#include <QApplication>
#include <QStyle>
#include <QWidget>

#include <stdexcept>

#include "tests/themes/support/SampleForm.h"
#include "themes/ThemeSrv.h"
#include "themes/UxTheme.h"

namespace themes_test {

std::string RealLibraryPath()
{
    return TROVANTA_BUILD_DIR "/lib/libuxtheme.so";
}

std::string RecordingLibraryPath()
{
    return TROVANTA_BUILD_DIR "/lib/libuxtheme_recording.so";
}

std::string PartialLibraryPath()
{
    return TROVANTA_BUILD_DIR "/lib/libuxtheme_partial.so";
}

std::string MissingLibraryPath()
{
    return TROVANTA_BUILD_DIR "/lib/libuxtheme_not_there.so";
}

namespace {

void ResetBinding()
{
    themes::FreeGlobalThemeServices();
    themes::ReleaseAllThemeBindings();
}

}  // namespace

ScopedThemeLibrary::ScopedThemeLibrary(const std::string& path)
{
    ResetBinding();
    if (QApplication::style()->name() != QLatin1String("fusion"))
        QApplication::setStyle(QStringLiteral("fusion"));
    themes::SetThemeLibraryName(path);
}

ScopedThemeLibrary::~ScopedThemeLibrary()
{
    ResetBinding();
    themes::SetThemeLibraryName(uxtheme::LibraryFileName);
}

recording::State& Recording()
{
    void* handle = dlopen(RecordingLibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) throw std::logic_error("the recording library is not loaded");
    auto state = reinterpret_cast<recording::StateFn>(dlsym(handle, "RecordingUxThemeState"));
    dlclose(handle);  // the binding keeps it loaded
    return *state();
}

bool IsLoaded(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

QImage Picture(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

void PaintOnceBeforeComparing()
{
    static const bool painted = [] {
        SampleForm sample;
        Picture(sample.Form.get());
        return true;
    }();
    (void)painted;
}

}  // namespace themes_test
