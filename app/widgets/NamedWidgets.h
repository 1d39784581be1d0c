#pragma once
// Small factories for the window's controls. Every control carries its component name as its
// object name: the language file, the theme and the tests find it by that name.

#include "app/widgets/Icons.h"

#include <QString>
#include <utility>

class QToolButton;
class QWidget;

namespace vorlane {

// A new widget of type T made with the given arguments, named `name`.
template <typename T, typename... Args>
T *NamedWidget(const char *name, Args &&...args)
{
    T *w = new T(std::forward<Args>(args)...);
    w->setObjectName(QLatin1String(name));
    return w;
}

// A flat tool button named `name` showing `glyph` at 18 pixels, with `hint` as its tooltip.
QToolButton *GlyphToolButton(const char *name, TGlyph glyph, const QString &hint,
                             QWidget *parent = nullptr);

} // namespace vorlane
