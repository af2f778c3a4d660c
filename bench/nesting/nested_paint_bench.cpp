// Times one paint of a check box that stands on 1 to 6 levels of plain containers in a form taken
// over by the theme manager, the visual styles on: the check box shows the background of every
// level behind it. Prints one line per level count, in milliseconds per paint.
//
// Usage: nested_paint_bench [visual-styles library]   (default: the one of the build)
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

#include "themes/ThemeMgr.h"
#include "themes/ThemeSrv.h"
#include "themes/UxTheme.h"

namespace {

struct NestedForm {
    explicit NestedForm(int levels) : Form(std::make_unique<QWidget>())
    {
        Form->resize(300, 200);
        QWidget* parent = Form.get();
        for (int level = 0; level < levels; ++level) {
            auto* container = new QWidget(parent);
            container->setGeometry(4, 4, parent->width() - 8, parent->height() - 8);
            parent = container;
        }
        Check = new QCheckBox(QStringLiteral("include subfolders"), parent);
        Check->setGeometry(4, 4, 150, 22);
        auto* manager = new themes::TThemeManager(Form.get());
        manager->setObjectName(QStringLiteral("ThemeManager"));
        manager->Loaded();
    }

    std::unique_ptr<QWidget> Form;
    QCheckBox* Check = nullptr;
};

/// Milliseconds per paint of the check box, over at least three paints and a quarter second.
double MillisecondsPerPaint(QWidget* control)
{
    control->grab();  // the first paint loads what the later ones reuse
    QElapsedTimer clock;
    clock.start();
    int paints = 0;
    while (paints < 3 || clock.elapsed() < 250) {
        control->grab();
        ++paints;
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / paints;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("fusion"));
    if (argc > 1) themes::SetThemeLibraryName(argv[1]);
    if (!themes::StylesEnabled()) {
        std::fprintf(stderr, "the visual styles are not enabled (library not found?)\n");
        return 1;
    }
    std::printf("levels  ms per paint\n");
    for (int levels = 1; levels <= 6; ++levels) {
        NestedForm form(levels);
        std::printf("%6d  %12.3f\n", levels, MillisecondsPerPaint(form.Check));
    }
    return 0;
}
