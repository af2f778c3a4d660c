#pragma once
// Pictures of windows as the tests leave them, for a person to look at.

#include <QString>
#include <QWidget>

#include <cstdlib>
#include <string>

namespace test {

/// Saves a picture of `window` as $TROVANTA_SCREENSHOTS/<name>.png when that variable is set.
inline void ScreenshotIfAsked(QWidget& window, const std::string& name)
{
    const char* dir = std::getenv("TROVANTA_SCREENSHOTS");
    if (dir == nullptr || *dir == '\0') return;
    window.grab().save(QString::fromLocal8Bit(dir) + "/" + QString::fromStdString(name) + ".png");
}

}  // namespace test
