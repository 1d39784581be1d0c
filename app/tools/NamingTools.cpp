#include "app/tools/NamingTools.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/SidePanel.h"
#include "app/player/PlayerPanel.h"
#include "app/shell/Menus.h"
#include "app/tools/TagPanel.h"
#include "app/tools/ToolDialogs.h"
#include "app/widgets/NamedWidgets.h"
#include "base/Messages.h"
#include "base/RegularFile.h"
#include "catalog/Naming.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlane {

TNamingTools::TNamingTools(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse,
                           TSidePanel &side, TPlayerPanel &player, QVBoxLayout *centre,
                           TWindows windows, QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
    , vMenus(menus)
    , vBrowse(browse)
    , vSide(side)
    , vPlayer(player)
    , vWindows(std::move(windows))
    , vTagEditor(std::make_unique<TTagEditor>())
{
    auto *edit = new QHBoxLayout;
    edit->setSpacing(4);
    sEEdit = new QLineEdit;
    sEEdit->setObjectName(QStringLiteral("sEEdit"));
    sSBEdit = GlyphToolButton("sSBEdit", TGlyph::Apply, QStringLiteral("Rename"));
    edit->addWidget(sEEdit, 1);
    edit->addWidget(sSBEdit);
    centre->addLayout(edit);

    vChooseCoverFile = [this] {
        return QFileDialog::getOpenFileName(
            sEEdit->window(), QString(), QString(),
            QStringLiteral("All supported (*.gif *.png *.jpg *.jpeg *.bmp)"));
    };
    // Without a stand-in page the sheet is made at once.
    bool standIn = false;
    for (int i = 0; i < vSide.sPCExtentedControls->count(); ++i)
        standIn |= vSide.sPCExtentedControls->widget(i)->objectName() == QLatin1String("sTSTag");
    if (!standIn)
        buildTagPage();

    connect(vSide.sPCExtentedControls, &QTabWidget::currentChanged, this,
            [this] { ShowID3Tags(); });

    // The edit menu (its items carry F2 to F12 as shortcuts, in the name editor too).
    const auto item = [this](QAction *a, auto handler) {
        connect(a, &QAction::triggered, this, handler);
    };
    item(menus.PMEFormatName, [this] { fEditName(etFormatName); });
    item(menus.PMETranslit, [this] { fEditName(etToCyrillic); });
    item(menus.PMERenameToLink, [this] { fEditName(etToLatin); });
    item(menus.PMERenameFromTag, [this] { PMERenameFromTagClick(); });
    item(menus.PMENumeric, [this] { PMENumericClick(); });
    item(menus.PMEDeleteExpression, [this] { PMEDeleteExpressionClick(); });
    item(menus.PMEChangeExpression, [this] { PMEChangeExpressionClick(); });
    item(menus.PMECopyTagsListToClipBoard, [this] { PMECopyTagsListToClipBoardClick(); });

    connect(sEEdit, &QLineEdit::returnPressed, this, &TNamingTools::fApplyNameEdit);
    connect(sSBEdit, &QToolButton::clicked, this, &TNamingTools::fApplyNameEdit);
    sEEdit->installEventFilter(this);
}

TNamingTools::~TNamingTools() = default;

bool TNamingTools::eventFilter(QObject *watched, QEvent *event)
{
    // Up and Down in the name editor move to the previous and next file; every other key is the
    // editor's.
    if (watched == sEEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            if (key == Qt::Key_Up)
                vPlayer.fPrev();
            else
                vPlayer.fNext();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TNamingTools::ConnectWindows(TCustomizeTemplateWindow *templateWindow,
                                  TChangeExpressionWindow *expressionWindow)
{
    connect(templateWindow, &TCustomizeTemplateWindow::templateChosen, this,
            [this](const TTagRenameTemplate &t) { vVorlane.SetTagRenameTemplate(t); });
    connect(templateWindow, &TCustomizeTemplateWindow::renameRequested, this,
            [this](const TTagRenameTemplate &t) {
                vVorlane.SetTagRenameTemplate(t);
                sSBTagRenameFileClick();
            });
    connect(expressionWindow, &TChangeExpressionWindow::expressionChosen, this,
            &TNamingTools::ChangeExpression);
}

// ---------------------------------------------------------------------------------------------
// The tag sheet

void TNamingTools::buildTagPage()
{
    QTabWidget *tabs = vSide.sPCExtentedControls;
    // Made straight in the tab widget's page stack, so that adding it as a tab does not move
    // (and restyle) its thirty controls once more.
    vTagPanel =
        new TTagPanel(tabs->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly));
    QWidget *standIn = nullptr;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->objectName() == vTagPanel->objectName())
            standIn = tabs->widget(i);
    }
    connectTagPanel();
    if (!standIn) {
        tabs->addTab(vTagPanel, QStringLiteral("Tags"));
        return;
    }
    // In the stand-in's place, with its caption; what the sheet shows is made when it is seen.
    const int at = tabs->indexOf(standIn);
    const QSignalBlocker quiet(tabs);
    tabs->insertTab(at, vTagPanel, tabs->tabText(at));
    tabs->removeTab(at + 1);
    delete standIn;
    vTagPanel->Stale = true;
    if (vWindows.ApplyLanguage)
        vWindows.ApplyLanguage(vTagPanel);
}

TTagPanel *TNamingTools::TagPanel()
{
    if (!vTagPanel)
        buildTagPage();
    return vTagPanel;
}

void TNamingTools::connectTagPanel()
{
    connect(vTagPanel, &TTagPanel::applyRequested, this, &TNamingTools::ChangeTags);
    connect(vTagPanel, &TTagPanel::versionChanged, this, [this] { ShowID3Tags(); });
    connect(vTagPanel, &TTagPanel::staleShown, this, [this] { ShowID3Tags(); });
    connect(vTagPanel, &TTagPanel::coverBoxResized, this, [this] {
        // Only the picture is made again: fields being edited keep what was typed.
        if (sheetShowing())
            showCoverArt();
    });
    connect(vTagPanel, &TTagPanel::nextSheetRequested, this,
            [this] { vSide.fsPCExtentedControlsSwitch(); });
    connect(vTagPanel->sSBTagDuplicate, &QToolButton::clicked, this,
            &TNamingTools::sSBTagDuplicateClick);
    connect(vTagPanel->sSBChangeCoverArt, &QToolButton::clicked, this,
            &TNamingTools::sSBChangeCoverArtClick);
    connect(vTagPanel->sSBTagRenameFile, &QToolButton::clicked, this,
            &TNamingTools::sSBTagRenameFileClick);
    connect(vTagPanel->sSBTagAutocreate, &QToolButton::clicked, this,
            [this] { AutoEdit(etNumbering); });
    connect(vTagPanel->sSBTagAutoCreateTrackNumbers, &QToolButton::clicked, this,
            &TNamingTools::AutoCreateTagsTrackNumbers);
}

void TNamingTools::EntryOpened(const TFileName &entry, TBrowseMode mode)
{
    if (mode == bmComputerFiles)
        ShowFileTags(entry.DirName + entry.FileName);
    sEEdit->setText(mode == bmComputerFiles ? entry.FileName : entry.Title);
}

void TNamingTools::ShowFileTags(const QString &path)
{
    vTagEditor->SetFile(path);
    ShowID3Tags();
}

bool TNamingTools::sheetShowing() const
{
    // The side panel hidden counts as not showing (a window not on screen yet does not).
    QTabWidget *tabs = vSide.sPCExtentedControls;
    return vTagPanel && tabs->isVisibleTo(tabs->window()) && tabs->currentWidget() == vTagPanel;
}

void TNamingTools::showCoverArt()
{
    const QSize box = vTagPanel->CoverBoxSize();
    vTagEditor->GetCoverArt(box.width(), box.height());
    vTagPanel->ShowCover(vTagEditor->CoverArt);
}

void TNamingTools::ShowID3Tags()
{
    if (!vTagPanel)
        return;
    if (!sheetShowing()) {
        vTagPanel->Stale = true;
        return;
    }
    vTagPanel->Stale = false;
    vTagPanel->ClearFields();
    TTag tag;
    if (vTagPanel->V2())
        vTagEditor->GetTagV2(tag);
    else
        vTagEditor->GetTagV1(tag);
    vTagPanel->ShowTag(tag);
    showCoverArt();
}

QList<TFileName> TNamingTools::selectedFolderEntries() const
{
    QList<TFileName> files;
    const int list = vVorlane.ListIndex();
    if (vVorlane.Mode() != bmComputerFiles || list < 0 || list >= vVorlane.FolderListCount())
        return files;
    const TFileList &folder = vVorlane.FolderList(list);
    for (int index : vBrowse.SelectedEntryIndexes()) {
        if (index < folder.Count())
            files << folder.At(index);
    }
    return files;
}

void TNamingTools::ChangeTags()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    // Only what the user changed is written: a field shown from one file and left alone must
    // not overwrite the other selected files' own values. Empty fields leave a tag as it is.
    const TTag tag = TagPanel()->ChangedFields();
    const bool v2 = TagPanel()->V2();
    bool saved = true;
    const bool all = forEachSelectedTagFile([&] {
        if (v2)
            vTagEditor->SetTagV2(tag);
        else
            vTagEditor->SetTagV1(tag);
        saved = !vTagEditor->Enabled() || (vTagEditor->LastSaveOk() && saved);
        ShowID3Tags();
    });
    if (!saved || !all)
        Q_EMIT status(Msg().SM_TAGSNOTSAVED);
}

void TNamingTools::sSBTagDuplicateClick()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    const bool v2 = TagPanel()->V2();
    bool saved = true;
    const bool all = forEachSelectedTagFile([&] {
        if (v2)
            vTagEditor->CopyFromTagV2toTagV1();
        else
            vTagEditor->CopyFromTagV1toTagV2();
        saved = !vTagEditor->Enabled() || (vTagEditor->LastSaveOk() && saved);
        ShowID3Tags();
    });
    if (!saved || !all)
        Q_EMIT status(Msg().SM_TAGSNOTSAVED);
}

void TNamingTools::sSBChangeCoverArtClick()
{
    const QString file = vChooseCoverFile ? vChooseCoverFile() : QString();
    if (!file.isEmpty())
        ChangeCoverArts(file);
}

void TNamingTools::ChangeCoverArts(const QString &fileName)
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    int changed = 0, failed = 0;
    const bool all = forEachSelectedTagFile([&] {
        if (!vTagEditor->Enabled())
            return;
        if (vTagEditor->SetCoverArt(fileName) && vTagEditor->LastSaveOk())
            ++changed;
        else
            ++failed;
    });
    if (failed > 0 || !all)
        Q_EMIT status(Msg().SM_TAGSNOTSAVED);
    else if (changed > 0)
        Q_EMIT status(Msg().SM_COVERSCHANGED);
    ShowID3Tags(); // the new picture
}

bool TNamingTools::forEachSelectedTagFile(const std::function<void()> &act)
{
    const QList<TFileName> files = selectedFolderEntries();
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    TUndecodableNames undecodable;
    bool all = true;
    for (const TFileName &file : files) {
        vTagEditor->SetFile(file.DirName + file.FileName);
        if (vTagEditor->Enabled() && undecodable.Contains(file.DirName, file.FileName)) {
            all = false;
            continue;
        }
        act();
    }
    vPlayer.ResumePlayback(hold);
    return all;
}

void TNamingTools::AutoCreateTagsTrackNumbers()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    const int failed = vVorlane.AutoCreateTagsTrackNumbers();
    vPlayer.ResumePlayback(hold);
    followCurrentFileTags();
    if (failed > 0)
        Q_EMIT status(Msg().SM_TAGSNOTSAVED);
}

void TNamingTools::followCurrentFileTags()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    const TFileName current = vVorlane.CurrentFile();
    if (!current.FileName.isEmpty())
        ShowFileTags(current.DirName + current.FileName);
}

// ---------------------------------------------------------------------------------------------
// Naming

void TNamingTools::fEditName(int editType)
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    if (vMenus.PMCAutoEdit->isChecked()) {
        AutoEdit(editType);
        return;
    }
    // The proposal waits in the name editor for Enter.
    sEEdit->setText(vVorlane.Edit(editType));
    sEEdit->setFocus();
}

void TNamingTools::sSBTagRenameFileClick()
{
    fEditName(TagPanel()->V2() ? etFromTagV2 : etFromTagV1);
    TagPanel()->sETagTitle->setFocus();
}

void TNamingTools::AutoEdit(int editType)
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    int failed = 0;
    if (editType == etNumbering)
        failed = vVorlane.TagsAutoCreate(indexes, TReopen::ByCaller);
    else
        vVorlane.Edit(indexes, editType);
    vPlayer.ResumePlayback(hold);
    followCurrentFileTags();
    if (failed > 0)
        Q_EMIT status(Msg().SM_TAGSNOTSAVED);
}

void TNamingTools::ChangeExpression(const QString &oldExpression, const QString &newExpression)
{
    if (vVorlane.Mode() != bmComputerFiles || oldExpression.isEmpty())
        return;
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    vVorlane.Edit(indexes, oldExpression, newExpression, TReopen::ByCaller);
    vPlayer.ResumePlayback(hold);
    followCurrentFileTags();
}

void TNamingTools::fApplyNameEdit()
{
    const QString name = sEEdit->text();
    if (vVorlane.Mode() != bmComputerFiles || name.isEmpty())
        return;
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    vVorlane.Edit(name, TReopen::ByCaller);
    vPlayer.ResumePlayback(hold);
    followCurrentFileTags();
}

void TNamingTools::PMERenameFromTagClick()
{
    TCustomizeTemplateWindow *w = vWindows.Template();
    if (!w)
        return;
    w->SetTemplate(vVorlane.TagRenameTemplate());
    w->sSBRenameFromTag->setToolTip(TagPanel()->sSBTagRenameFile->toolTip());
    w->sSBRenameFromTag->setText(TagPanel()->sSBTagRenameFile->toolTip());
    w->show();
    w->raise();
    w->activateWindow();
}

void TNamingTools::PMENumericClick()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    const TPlayerPanel::TPlaybackHold hold = vPlayer.HoldPlayback();
    vVorlane.Edit(etNumbering); // event 9: the whole list is new
    vPlayer.ResumePlayback(hold);
    followCurrentFileTags();
}

void TNamingTools::PMEDeleteExpressionClick()
{
    ChangeExpression(sEEdit->selectedText(), QString());
}

void TNamingTools::PMEChangeExpressionClick()
{
    TChangeExpressionWindow *w = vWindows.Expression();
    if (!w)
        return;
    if (w->isVisible()) {
        w->hide();
        return;
    }
    w->sEOldExpression->setText(sEEdit->selectedText());
    w->show();
    w->raise();
    w->activateWindow();
    w->sENewExpression->setFocus();
}

void TNamingTools::PMECopyTagsListToClipBoardClick()
{
    if (vVorlane.Mode() != bmComputerFiles)
        return;
    QGuiApplication::clipboard()->setText(
        vVorlane.GetTagsList(vVorlane.ListIndex(), TagPanel()->V2()));
}

} // namespace vorlane
