#pragma once
// Driving modal windows from a test: an action is queued for the next modal window that
// opens, and runs inside its event loop once the window is there.

#include <QWidget>

#include <functional>
#include <string>

namespace test {

/// Runs Action on the next modal window: the first active modal window other than the one
/// active now. Fails the test when none opens within ten seconds.
void OnNextModal(std::function<void(QWidget* Window)> Action);

/// Clicks the push button with this object name; fails the test when there is none.
void ClickButton(QWidget* Window, const char* Name);

/// Sends Esc to the window.
void PressEscape(QWidget* Window);


}  // namespace test
