#include "app/tools/ToolWindows.h"

#include "app/shell/Language.h"
#include "app/tools/ToolDialogs.h"
#include "app/widgets/Icons.h"
#include "app/widgets/IndicatorWindow.h"
#include "base/IniFile.h"

#include <QHash>

namespace vorlane {

TToolWindows::~TToolWindows()
{
    for (const QPointer<TDialogWindow> &d : dialogs())
        delete d.data();
    delete vIndicator.data();
}

bool TToolWindows::Make()
{
    if (vMade)
        return false;
    vMade = true;
    // The program's fixed order after the main window.
    vIndicator = new TIndicatorWindow(nullptr);
    vExpression = new TChangeExpressionWindow(nullptr);
    vAddPlaylist = new TAddPlaylistWindow(nullptr);
    vTemplate = new TCustomizeTemplateWindow(nullptr);
    for (const QPointer<TDialogWindow> &d : dialogs())
        d->setWindowIcon(AppIcon());
    return true;
}

TIndicatorWindow *TToolWindows::Indicator() const
{
    return vIndicator;
}

TAddPlaylistWindow *TToolWindows::AddPlaylist() const
{
    return vAddPlaylist;
}

TCustomizeTemplateWindow *TToolWindows::CustomizeTemplate() const
{
    return vTemplate;
}

TChangeExpressionWindow *TToolWindows::ChangeExpression() const
{
    return vExpression;
}

QList<QPointer<TDialogWindow>> TToolWindows::dialogs() const
{
    return {vExpression.data(), vAddPlaylist.data(), vTemplate.data()};
}

void TToolWindows::ApplyTexts(const TIniFile &ini, const QString &section)
{
    static const QHash<QString, QStringList> fixed = {
        {QStringLiteral("ChangeExpressionWindow"), {"sLOldExpression", "sLNewExpression"}},
        {QStringLiteral("AddPlaylistWindow"), {"sLAPWName", "sBAPWCancel", "sBAPWOK"}},
    };
    for (const QPointer<TDialogWindow> &d : dialogs()) {
        if (!d)
            continue;
        const QString key = d->WindowKey();
        d->setWindowTitle(ini.ReadString(section, key, QString()));
        if (key == QLatin1String("CustomizeTemplateWindow")) {
            ApplyComponentTexts(d, ini, section, ckCheckBox);
            continue;
        }
        for (const QString &name : fixed.value(key))
            SetComponentText(d, name, ini.ReadString(section, name, QString()));
    }
}

void TToolWindows::CloseAll()
{
    for (const QPointer<TDialogWindow> &d : dialogs()) {
        if (d)
            d->close();
    }
    if (vIndicator)
        vIndicator->close();
}

} // namespace vorlane
