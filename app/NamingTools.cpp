// The main window's tag sheet and naming tools: showing and writing the tags of the selected
// files, covers, copying between tag versions, the edit menu's naming items (F2 to F8, F12),
// automatic editing, the name editor sEEdit and the template and expression windows.

#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/TagPanel.h"
#include "app/ToolDialogs.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "base/RegularFile.h"
#include "catalog/Naming.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace vorlane {

namespace {

// Up and Down in the name editor move to the previous and next file; every other key is the
// editor's.
class TNameEditorKeys : public QObject {
public:
    TNameEditorKeys(TMainWindow *window)
        : QObject(window)
        , vWindow(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                if (key == Qt::Key_Up)
                    vWindow->fPrev();
                else
                    vWindow->fNext();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TMainWindow *vWindow;
};

} // namespace

void TMainWindow::buildTagPage()
{
    // Made straight in the tab widget's page stack, so that adding it as a tab does not move
    // (and restyle) its thirty controls once more.
    vTagPanel = new TTagPanel(
        sPCExtentedControls->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly));
    QWidget *standIn = nullptr;
    for (int i = 0; i < sPCExtentedControls->count(); ++i) {
        if (sPCExtentedControls->widget(i)->objectName() == vTagPanel->objectName())
            standIn = sPCExtentedControls->widget(i);
    }
    if (!standIn) {
        sPCExtentedControls->addTab(vTagPanel, QStringLiteral("Tags"));
        return;
    }
    // In the stand-in's place, with its caption; what the sheet shows is made when it is seen.
    const int at = sPCExtentedControls->indexOf(standIn);
    const QSignalBlocker quiet(sPCExtentedControls);
    sPCExtentedControls->insertTab(at, vTagPanel, sPCExtentedControls->tabText(at));
    sPCExtentedControls->removeTab(at + 1);
    delete standIn;
    vTagPanel->Stale = true;
    connectTagPanel();
    const TIniFile ini(languageFile());
    if (ini.Exists() && ini.SectionExists(vCurLanguage))
        ApplyComponentTexts(vTagPanel, ini, vCurLanguage,
                            ckToolButton | ckProgress | ckGroupBox | ckCheckBox | ckLabel |
                                ckTabSheet | ckMenuItem);
}

TTagPanel *TMainWindow::TagPanel() const
{
    if (!vTagPanel)
        const_cast<TMainWindow *>(this)->buildTagPage();
    return vTagPanel;
}

void TMainWindow::connectTagPanel()
{
    connect(vTagPanel, &TTagPanel::applyRequested, this, &TMainWindow::ChangeTags);

    connect(vTagPanel, &TTagPanel::versionChanged, this, [this] { ShowID3Tags(); });
    connect(vTagPanel, &TTagPanel::staleShown, this, [this] { ShowID3Tags(); });
    connect(vTagPanel, &TTagPanel::coverBoxResized, this, [this] {
        // Only the picture is made again: fields being edited keep what was typed.
        if (!sPRight->isHidden() && sPCExtentedControls->currentWidget() == vTagPanel)
            showCoverArt();
    });
    connect(vTagPanel, &TTagPanel::nextSheetRequested, this, [this] {
        const int count = sPCExtentedControls->count();
        sPCExtentedControls->setCurrentIndex((sPCExtentedControls->currentIndex() + 1) % count);
    });
    connect(vTagPanel->sSBTagDuplicate, &QToolButton::clicked, this,
            &TMainWindow::sSBTagDuplicateClick);
    connect(vTagPanel->sSBChangeCoverArt, &QToolButton::clicked, this,
            &TMainWindow::sSBChangeCoverArtClick);
    connect(vTagPanel->sSBTagRenameFile, &QToolButton::clicked, this,
            &TMainWindow::sSBTagRenameFileClick);
    connect(vTagPanel->sSBTagAutocreate, &QToolButton::clicked, this,
            [this] { AutoEdit(etNumbering); });
    connect(vTagPanel->sSBTagAutoCreateTrackNumbers, &QToolButton::clicked, this,
            &TMainWindow::AutoCreateTagsTrackNumbers);
}

void TMainWindow::connectNamingTools()
{
    vTagEditor = std::make_unique<TTagEditor>();
    ChooseCoverFile = [this] {
        return QFileDialog::getOpenFileName(
            this, QString(), vLastDir,
            QStringLiteral("All supported (*.gif *.png *.jpg *.jpeg *.bmp)"));
    };

    connect(sPCExtentedControls, &QTabWidget::currentChanged, this, [this] { ShowID3Tags(); });
    if (vTagPanel)
        connectTagPanel();

    // The edit menu (its items carry F2 to F12 as shortcuts, in the name editor too).
    const auto item = [this](const char *name, auto handler) {
        if (QAction *a = MenuItem(QLatin1String(name)))
            connect(a, &QAction::triggered, this, handler);
    };
    item("PMEFormatName", [this] { fEditName(etFormatName); });
    item("PMETranslit", [this] { fEditName(etToCyrillic); });
    item("PMERenameToLink", [this] { fEditName(etToLatin); });
    item("PMERenameFromTag", [this] { PMERenameFromTagClick(); });
    item("PMENumeric", [this] { PMENumericClick(); });
    item("PMEDeleteExpression", [this] { PMEDeleteExpressionClick(); });
    item("PMEChangeExpression", [this] { PMEChangeExpressionClick(); });
    item("PMECopyTagsListToClipBoard", [this] { PMECopyTagsListToClipBoardClick(); });

    // The name editor.
    connect(sEEdit, &QLineEdit::returnPressed, this, &TMainWindow::fApplyNameEdit);
    if (auto *b = findChild<QToolButton *>(QStringLiteral("sSBEdit")))
        connect(b, &QToolButton::clicked, this, &TMainWindow::fApplyNameEdit);
    sEEdit->installEventFilter(new TNameEditorKeys(this));
}

// ---------------------------------------------------------------------------------------------
// The tag sheet

void TMainWindow::showCoverArt()
{
    const QSize box = vTagPanel->CoverBoxSize();
    vTagEditor->GetCoverArt(box.width(), box.height());
    vTagPanel->ShowCover(vTagEditor->CoverArt);
}

void TMainWindow::ShowID3Tags()
{
    if (!vTagPanel)
        return;
    if (sPRight->isHidden() || sPCExtentedControls->currentWidget() != vTagPanel) {
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

QList<TFileName> TMainWindow::selectedFolderEntries() const
{
    QList<TFileName> files;
    const int list = vVorlane->ListIndex();
    if (vVorlane->Mode() != bmComputerFiles || list < 0 || list >= vVorlane->FolderListCount())
        return files;
    const TFileList &folder = vVorlane->FolderList(list);
    for (int index : SelectedEntryIndexes()) {
        if (index < folder.Count())
            files << folder.At(index);
    }
    return files;
}

void TMainWindow::ChangeTags()
{
    if (vVorlane->Mode() != bmComputerFiles)
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
        fLStatusRefresh(Msg().SM_TAGSNOTSAVED);
}

void TMainWindow::sSBTagDuplicateClick()
{
    if (vVorlane->Mode() != bmComputerFiles)
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
        fLStatusRefresh(Msg().SM_TAGSNOTSAVED);
}

void TMainWindow::sSBChangeCoverArtClick()
{
    const QString file = ChooseCoverFile ? ChooseCoverFile() : QString();
    if (!file.isEmpty())
        ChangeCoverArts(file);
}

void TMainWindow::ChangeCoverArts(const QString &fileName)
{
    if (vVorlane->Mode() != bmComputerFiles)
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
        fLStatusRefresh(Msg().SM_TAGSNOTSAVED);
    else if (changed > 0)
        fLStatusRefresh(Msg().SM_COVERSCHANGED);
    ShowID3Tags(); // the new picture
}

bool TMainWindow::forEachSelectedTagFile(const std::function<void()> &act)
{
    const QList<TFileName> files = selectedFolderEntries();
    const TPlaybackHold hold = holdPlayback();
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
    resumePlayback(hold);
    return all;
}

void TMainWindow::AutoCreateTagsTrackNumbers()
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    const TPlaybackHold hold = holdPlayback();
    const int failed = vVorlane->AutoCreateTagsTrackNumbers();
    resumePlayback(hold);
    followCurrentFileTags();
    if (failed > 0)
        fLStatusRefresh(Msg().SM_TAGSNOTSAVED);
}

void TMainWindow::followCurrentFileTags()
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    const TFileName current = vVorlane->CurrentFile();
    if (current.FileName.isEmpty())
        return;
    vTagEditor->SetFile(current.DirName + current.FileName);
    ShowID3Tags();
}

// ---------------------------------------------------------------------------------------------
// Naming

void TMainWindow::fEditName(int editType)
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    if (MenuItem(QStringLiteral("PMCAutoEdit"))->isChecked()) {
        AutoEdit(editType);
        return;
    }
    // The proposal waits in the name editor for Enter.
    sEEdit->setText(vVorlane->Edit(editType));
    sEEdit->setFocus();
}

void TMainWindow::sSBTagRenameFileClick()
{
    fEditName(TagPanel()->V2() ? etFromTagV2 : etFromTagV1);
    TagPanel()->sETagTitle->setFocus();
}

void TMainWindow::AutoEdit(int editType)
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    const QList<int> indexes = SelectedEntryIndexes();
    const TPlaybackHold hold = holdPlayback();
    const int failed = editType == etNumbering ? vVorlane->TagsAutoCreate(indexes) : 0;
    if (editType != etNumbering)
        vVorlane->Edit(indexes, editType);
    resumePlayback(hold);
    vVorlane->SetFlags(efListChanged);
    followCurrentFileTags();
    if (failed > 0)
        fLStatusRefresh(Msg().SM_TAGSNOTSAVED);
}

void TMainWindow::ChangeExpression(const QString &oldExpression, const QString &newExpression)
{
    if (vVorlane->Mode() != bmComputerFiles || oldExpression.isEmpty())
        return;
    const QList<int> indexes = SelectedEntryIndexes();
    const TPlaybackHold hold = holdPlayback();
    vVorlane->Edit(indexes, oldExpression, newExpression);
    resumePlayback(hold);
    vVorlane->SetFlags(efListChanged);
    followCurrentFileTags();
}

void TMainWindow::fApplyNameEdit()
{
    const QString name = sEEdit->text();
    if (vVorlane->Mode() != bmComputerFiles || name.isEmpty())
        return;
    const TPlaybackHold hold = holdPlayback();
    vVorlane->Edit(name);
    resumePlayback(hold);
    vVorlane->SetFlags(efListChanged);
    followCurrentFileTags();
}

void TMainWindow::PMERenameFromTagClick()
{
    TCustomizeTemplateWindow *w = CustomizeTemplateWindow();
    if (!w)
        return;
    w->SetTemplate(vVorlane->TagRenameTemplate());
    w->sSBRenameFromTag->setToolTip(TagPanel()->sSBTagRenameFile->toolTip());
    w->sSBRenameFromTag->setText(TagPanel()->sSBTagRenameFile->toolTip());
    w->show();
    w->raise();
    w->activateWindow();
}

void TMainWindow::PMENumericClick()
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    const TPlaybackHold hold = holdPlayback();
    vVorlane->Edit(etNumbering);
    resumePlayback(hold);
    vVorlane->SetFlags(efRefreshView);
    followCurrentFileTags();
}

void TMainWindow::PMEDeleteExpressionClick()
{
    ChangeExpression(sEEdit->selectedText(), QString());
}

void TMainWindow::PMEChangeExpressionClick()
{
    TChangeExpressionWindow *w = ChangeExpressionWindow();
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

void TMainWindow::PMECopyTagsListToClipBoardClick()
{
    if (vVorlane->Mode() != bmComputerFiles)
        return;
    QGuiApplication::clipboard()->setText(
        vVorlane->GetTagsList(vVorlane->ListIndex(), TagPanel()->V2()));
}

} // namespace vorlane
