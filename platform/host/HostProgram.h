#pragma once
// The host program from start to end: the object model, the window, the add-ins.

class QApplication;

namespace host {

/// Runs the mail client until its window closes; the exit code.
int RunHostProgram(QApplication& app);

}  // namespace host
