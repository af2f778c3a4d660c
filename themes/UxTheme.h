#pragma once
// The binding of the visual-styles library: it is loaded by name at run time (nothing links
// against it), its entry points are looked up by name, and binds are counted so that the last
// unbind unloads it. A library that lacks one of the entry points is treated as missing.
// A bare file name is looked for in the folder of the program (or library) that binds it, then in
// the "lib" folder beside that one, then where the loader looks.

#include <string>

#include "platform/uxtheme/UxThemeApi.h"

namespace themes {

/// One pointer per entry point, in the order they are looked up; all empty while unbound.
struct ThemeLibraryEntries {
    uxtheme::OpenThemeDataFn OpenThemeData = nullptr;
    uxtheme::CloseThemeDataFn CloseThemeData = nullptr;
    uxtheme::DrawThemeBackgroundFn DrawThemeBackground = nullptr;
    uxtheme::DrawThemeTextFn DrawThemeText = nullptr;
    uxtheme::GetThemeBackgroundContentRectFn GetThemeBackgroundContentRect = nullptr;
    uxtheme::DrawThemeEdgeFn DrawThemeEdge = nullptr;
    uxtheme::IsThemeBackgroundPartiallyTransparentFn IsThemeBackgroundPartiallyTransparent = nullptr;
    uxtheme::IsThemeActiveFn IsThemeActive = nullptr;
    uxtheme::IsAppThemedFn IsAppThemed = nullptr;
    uxtheme::EnableThemeDialogTextureFn EnableThemeDialogTexture = nullptr;
    uxtheme::GetThemeAppPropertiesFn GetThemeAppProperties = nullptr;
    uxtheme::SetThemeAppPropertiesFn SetThemeAppProperties = nullptr;
    uxtheme::DrawThemeParentBackgroundFn DrawThemeParentBackground = nullptr;
};

/// Takes one binding; true when the library is loaded.
bool BindThemeLibrary();
/// Gives one binding back; the last one unloads the library. Without a binding it changes nothing.
void UnbindThemeLibrary();
/// The library is loaded and reports visual styles in use for this process and active.
bool VisualStylesActive();

/// The entry points of the loaded library (use them only while holding a binding).
const ThemeLibraryEntries& ThemeEntries();
bool ThemeLibraryLoaded();
int ThemeLibraryBindCount();

/// The file name the library is loaded under (uxtheme::LibraryFileName unless set); takes effect
/// at the next load. Tests name a library that is missing or made for them.
void SetThemeLibraryName(const std::string& fileName);

/// Gives back every outstanding binding, unloading the library (finalisation).
void ReleaseAllThemeBindings();

/// One binding for the lifetime of the object.
class ThemeLibraryBinding {
public:
    ThemeLibraryBinding() : available_(BindThemeLibrary()) {}
    ~ThemeLibraryBinding() { UnbindThemeLibrary(); }
    ThemeLibraryBinding(const ThemeLibraryBinding&) = delete;
    ThemeLibraryBinding& operator=(const ThemeLibraryBinding&) = delete;

    bool Available() const { return available_; }

private:
    bool available_;
};

}  // namespace themes
