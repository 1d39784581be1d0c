#include "app/shell/Language.h"

#include "base/IniFile.h"
#include "base/Messages.h"

#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace vorlane {

namespace {

// The tab widget a page belongs to (pages sit in the tab widget's internal stack).
QTabWidget *tabOwner(QWidget *page)
{
    QWidget *stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget *>(stack))
        return nullptr;
    auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget());
    return tabs && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

// Applies text by kind; false when the object is not of a kind in kinds.
bool applyText(QObject *o, const QString &text, unsigned kinds)
{
    if (auto *menu = qobject_cast<QMenu *>(o)) {
        if (!(kinds & ckMenuItem))
            return false;
        menu->setTitle(text);
        return true;
    }
    if (auto *action = qobject_cast<QAction *>(o)) {
        if (!(kinds & ckMenuItem))
            return false;
        action->setText(text);
        return true;
    }
    auto *w = qobject_cast<QWidget *>(o);
    if (!w)
        return false;
    if (qobject_cast<QToolButton *>(w)) {
        if (!(kinds & ckToolButton))
            return false;
        w->setToolTip(text);
        return true;
    }
    if (qobject_cast<QProgressBar *>(w) || qobject_cast<QAbstractSlider *>(w)) {
        if (!(kinds & ckProgress))
            return false;
        w->setToolTip(text);
        return true;
    }
    if (auto *box = qobject_cast<QGroupBox *>(w)) {
        if (!(kinds & ckGroupBox))
            return false;
        box->setTitle(text);
        return true;
    }
    if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
        if (!(kinds & ckCheckBox))
            return false;
        static_cast<QAbstractButton *>(w)->setText(text);
        return true;
    }
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        if (!(kinds & ckPushButton))
            return false;
        button->setText(text);
        return true;
    }
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (!(kinds & ckLabel))
            return false;
        label->setText(text);
        return true;
    }
    if (QTabWidget *tabs = tabOwner(w)) {
        if (!(kinds & ckTabSheet))
            return false;
        tabs->setTabText(tabs->indexOf(w), text);
        return true;
    }
    return false;
}

} // namespace

int ApplyComponentTexts(QObject *root, const TIniFile &ini, const QString &section, unsigned kinds)
{
    int changed = 0;
    const QList<QObject *> objects = root->findChildren<QObject *>();
    for (QObject *o : objects) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        const QString text = ini.ReadString(section, name, QString());
        if (!text.isEmpty() && applyText(o, text, kinds))
            ++changed;
    }
    return changed;
}

bool SetComponentText(QObject *root, const QString &name, const QString &text)
{
    QObject *o = root->findChild<QObject *>(name);
    return o && applyText(o, text, ckAll);
}

void LoadMessages(const TIniFile &ini, const QString &section)
{
    for (const QString &key : MessageKeys())
        SetMessage(key, ini.ReadString(section, key, QString()));
}

} // namespace vorlane
