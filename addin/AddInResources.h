#pragma once
// The pictures of the add-in library: the application icon "QELICO32" (32 x 32, 16 colours),
// kept as a Qt resource, and the face of the toolbar button "BMP16QEL" (16 x 16, 16 colours,
// its bottom-left pixel in the transparent colour), kept as a bitmap resource of the add-in
// framework (addin/CMakeLists.txt embeds it).

#include <QIcon>
#include <QString>

inline constexpr char kIconResource[] = "QELICO32";
inline constexpr char kButtonBitmapResource[] = "BMP16QEL";

/// Registers the library's resources and keeps the library (and Qt with it) loaded from now
/// on: Qt holds pointers into the library and cannot itself be unloaded from a process.
void PinAddInLibrary();

/// The path of a resource of the library by its name (":/QELaddin/<name>").
QString AddInResourcePath(const char* Name);

/// The library's icon "QELICO32"; a null icon when it cannot be read.
QIcon AddInIcon();
