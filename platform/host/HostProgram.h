#pragma once
// The host program from start to end: the object model, the window with its command bars
// (kept between runs in the Trovanta home), the add-ins.

#include <filesystem>

class QApplication;

namespace host {

/// Runs the mail client until its window closes; the exit code.
int RunHostProgram(QApplication& app);

}  // namespace host
