#include "app/tools/ToolDialogs.h"

#include "app/widgets/Icons.h"
#include "app/widgets/NamedWidgets.h"
#include "base/IniFile.h"
#include "catalog/Naming.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

namespace vorlane {

TDialogWindow::TDialogWindow(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------------------

TAddPlaylistWindow::TAddPlaylistWindow(QWidget *parent)
    : TDialogWindow(QStringLiteral("AddPlaylistWindow"), QStringLiteral("Playlist"), parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(8);
    sLAPWName = NamedWidget<QLabel>("sLAPWName", QStringLiteral("Playlist name"));
    sEAPWName = NamedWidget<QLineEdit>("sEAPWName");
    sEAPWName->setMinimumWidth(260);
    sEAPWName->setClearButtonEnabled(true);
    sLAPWName->setBuddy(sEAPWName);
    v->addWidget(sLAPWName);
    v->addWidget(sEAPWName);
    v->addSpacing(4);
    sBAPWOK = NamedWidget<QPushButton>("sBAPWOK", QStringLiteral("OK"));
    sBAPWCancel = NamedWidget<QPushButton>("sBAPWCancel", QStringLiteral("Cancel"));
    // Enter in the name presses OK.
    sBAPWOK->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(sBAPWOK);
    row->addWidget(sBAPWCancel);
    v->addLayout(row);
    connect(sBAPWOK, &QPushButton::clicked, this, &TAddPlaylistWindow::okClicked);
    connect(sBAPWCancel, &QPushButton::clicked, this, &QDialog::reject);
    setSizeGripEnabled(false);
}

// ---------------------------------------------------------------------------------------------

TCustomizeTemplateWindow::TCustomizeTemplateWindow(QWidget *parent)
    : TDialogWindow(QStringLiteral("CustomizeTemplateWindow"), QStringLiteral("Name template"),
                    parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(10);

    // The sample, as the file would be called.
    auto *card = NamedWidget<QFrame>("sPResultTemplate");
    card->setFrameShape(QFrame::StyledPanel);
    card->setStyleSheet(QStringLiteral("QFrame#sPResultTemplate { border: 1px solid palette(mid); "
                                       "border-radius: 6px; background: palette(base); }"));
    auto *cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(12, 10, 12, 10);
    sLResultTemplate = NamedWidget<QLabel>("sLResultTemplate");
    sLResultTemplate->setAlignment(Qt::AlignCenter);
    sLResultTemplate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sLResultTemplate->setMinimumWidth(340);
    QFont sampleFont = sLResultTemplate->font();
    sampleFont.setPointSizeF(sampleFont.pointSizeF() * 1.15);
    sampleFont.setBold(true);
    sLResultTemplate->setFont(sampleFont);
    cardLayout->addWidget(sLResultTemplate);
    v->addWidget(card);

    sCBCTNumber = NamedWidget<QCheckBox>("sCBCTNumber", QStringLiteral("#"));
    sCBCTArtist = NamedWidget<QCheckBox>("sCBCTArtist", QStringLiteral("Artist"));
    sCBCTName = NamedWidget<QCheckBox>("sCBCTName", QStringLiteral("Title"));
    sCBCTAlbum = NamedWidget<QCheckBox>("sCBCTAlbum", QStringLiteral("Album"));
    sCBCTYear = NamedWidget<QCheckBox>("sCBCTYear", QStringLiteral("Year"));
    auto *checks = new QGridLayout;
    checks->setHorizontalSpacing(18);
    checks->setVerticalSpacing(6);
    checks->addWidget(sCBCTNumber, 0, 0);
    checks->addWidget(sCBCTArtist, 0, 1);
    checks->addWidget(sCBCTName, 0, 2);
    checks->addWidget(sCBCTAlbum, 1, 1);
    checks->addWidget(sCBCTYear, 1, 2);
    checks->setColumnStretch(3, 1);
    v->addLayout(checks);

    sSBRenameFromTag = NamedWidget<QToolButton>("sSBRenameFromTag");
    sSBRenameFromTag->setIcon(GlyphIcon(TGlyph::Edit));
    sSBRenameFromTag->setIconSize(QSize(18, 18));
    sSBRenameFromTag->setAutoRaise(true);
    sSBRenameFromTag->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sBCTOK = NamedWidget<QPushButton>("sBCTOK", QStringLiteral("OK"));
    sBCTOK->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addWidget(sSBRenameFromTag);
    row->addStretch(1);
    row->addWidget(sBCTOK);
    v->addLayout(row);

    for (QCheckBox *c : {sCBCTNumber, sCBCTArtist, sCBCTName, sCBCTAlbum, sCBCTYear}) {
        connect(c, &QCheckBox::clicked, this, [this] {
            takeStates();
            RefreshSample();
        });
    }
    connect(sBCTOK, &QPushButton::clicked, this, [this] {
        takeStates();
        hide();
        Q_EMIT templateChosen(vTemplate);
    });
    connect(sSBRenameFromTag, &QToolButton::clicked, this, [this] {
        takeStates();
        Q_EMIT renameRequested(vTemplate);
    });
    RefreshSample();
}

void TCustomizeTemplateWindow::SetTemplate(const TTagRenameTemplate &t)
{
    vTemplate = t;
    sCBCTNumber->setChecked(t.Number);
    sCBCTArtist->setChecked(t.Artist);
    sCBCTAlbum->setChecked(t.Album);
    sCBCTName->setChecked(t.Name);
    sCBCTYear->setChecked(t.Year);
    RefreshSample();
}

void TCustomizeTemplateWindow::takeStates()
{
    vTemplate.Number = sCBCTNumber->isChecked();
    vTemplate.Artist = sCBCTArtist->isChecked();
    vTemplate.Album = sCBCTAlbum->isChecked();
    vTemplate.Name = sCBCTName->isChecked();
    vTemplate.Year = sCBCTYear->isChecked();
}

void TCustomizeTemplateWindow::RefreshSample()
{
    const QString sample = TemplateSample(vTemplate);
    // An empty sample still keeps the line's height.
    sLResultTemplate->setText(sample.isEmpty() ? QStringLiteral(" ") : sample);
}

// ---------------------------------------------------------------------------------------------

TChangeExpressionWindow::TChangeExpressionWindow(QWidget *parent)
    : TDialogWindow(QStringLiteral("ChangeExpressionWindow"), QStringLiteral("Change Expression"),
                    parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(6);
    sLOldExpression = NamedWidget<QLabel>("sLOldExpression", QStringLiteral("Text to replace"));
    sEOldExpression = NamedWidget<QLineEdit>("sEOldExpression");
    sLNewExpression = NamedWidget<QLabel>("sLNewExpression", QStringLiteral("Replace with"));
    sENewExpression = NamedWidget<QLineEdit>("sENewExpression");
    sEOldExpression->setMinimumWidth(300);
    sLOldExpression->setBuddy(sEOldExpression);
    sLNewExpression->setBuddy(sENewExpression);
    v->addWidget(sLOldExpression);
    v->addWidget(sEOldExpression);
    v->addSpacing(4);
    v->addWidget(sLNewExpression);
    v->addWidget(sENewExpression);
    v->addSpacing(6);
    sBSetExpression = NamedWidget<QPushButton>("sBSetExpression", QStringLiteral("OK"));
    // Enter in the replacement is OK already; the button must not take the same key again.
    sBSetExpression->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(sBSetExpression);
    v->addLayout(row);

    const auto ok = [this] {
        hide();
        Q_EMIT expressionChosen(sEOldExpression->text(), sENewExpression->text());
    };
    connect(sBSetExpression, &QPushButton::clicked, this, ok);
    connect(sENewExpression, &QLineEdit::returnPressed, this, ok);
}

// ---------------------------------------------------------------------------------------------

QMessageBox *CreateQuestionBox(QWidget *parent, const QString &caption, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Question, caption, text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(QStringLiteral("QuestionBox"));
    box->setDefaultButton(QMessageBox::Yes);
    return box;
}

namespace {

// Qt names its standard buttons through the translation context "QPlatformTheme"; this answers
// for the few the program shows and leaves every other text alone.
class TButtonTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QHash<QString, QString> Texts; // Qt's English text -> the language's

    bool isEmpty() const override { return Texts.isEmpty(); }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        return Texts.value(QString::fromLatin1(sourceText));
    }
};

} // namespace

void SetStandardButtonTexts(const TIniFile &ini, const QString &section)
{
    static TButtonTranslator *translator = nullptr;
    if (!translator) {
        translator = new TButtonTranslator(QCoreApplication::instance());
        QCoreApplication::installTranslator(translator);
    }
    translator->Texts.clear();
    const auto take = [&](const char *english, const char *key) {
        const QString text = ini.ReadString(section, QLatin1String(key), QString());
        if (!text.isEmpty())
            translator->Texts.insert(QLatin1String(english), text);
    };
    take("&Yes", "MBYes");
    take("&No", "MBNo");
    take("Cancel", "sBAPWCancel");
}

} // namespace vorlane
