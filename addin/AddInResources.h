#pragma once
// The pictures of the add-in library, kept in the library as Qt resources: the application
// icon (32 x 32, 16 colours) and the face of the toolbar button (16 x 16, 16 colours, its
// bottom-left pixel in the transparent colour).

#include <QIcon>
#include <QString>

inline constexpr char kIconResource[] = "QELICO32";
inline constexpr char kButtonBitmapResource[] = "BMP16QEL";

/// Registers the library's resources and keeps the library loaded from now on: call before
/// the library creates its first window or Qt object.
void PinAddInLibrary();

/// The path of a resource of the library by its name (":/QELaddin/<name>").
QString AddInResourcePath(const char* Name);

/// The library's icon "QELICO32"; a null icon when it cannot be read.
QIcon AddInIcon();
