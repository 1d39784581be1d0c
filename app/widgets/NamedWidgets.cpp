#include "app/widgets/NamedWidgets.h"

#include <QToolButton>

namespace vorlane {

QToolButton *GlyphToolButton(const char *name, TGlyph glyph, const QString &hint, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(GlyphIcon(glyph));
    b->setIconSize(QSize(18, 18));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

} // namespace vorlane
