#pragma once
// TNamingTools: the tag sheet and the naming tools. Showing and writing the tags of the selected
// files (the sheet TTagPanel, the window's own tag editor), covers, copying between tag
// versions, the edit menu's naming items (F2 to F8, F12), automatic editing, the name editor
// sEEdit with sSBEdit, and the template and expression windows.
//
// The playing file is closed while a tool changes its file or tags and opened again at its
// place after (TPlayerPanel::HoldPlayback); the operations tell the controller so, and it
// raises the follow-up that fits (TReopen). Main thread only.

#include "catalog/CatalogTypes.h"
#include "tags/TagEditor.h"

#include <QObject>

#include <functional>
#include <memory>

class QLineEdit;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace vorlane {

class TBrowsePanel;
class TChangeExpressionWindow;
class TCustomizeTemplateWindow;
class TPlayerPanel;
class TSidePanel;
class TTagPanel;
class TVorlane;
struct TMenus;

class TNamingTools : public QObject {
    Q_OBJECT

public:
    struct TWindows {
        std::function<TCustomizeTemplateWindow *()> Template;
        std::function<TChangeExpressionWindow *()> Expression;
        // Puts the language's texts on a sheet made after the language was applied.
        std::function<void(QWidget *)> ApplyLanguage;
    };

    // Builds the name editor row into `centre`; the tag sheet goes into the side panel's tag page
    // now, or in place of its stand-in when first needed (TagPanel()).
    TNamingTools(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse, TSidePanel &side,
                 TPlayerPanel &player, QVBoxLayout *centre, TWindows windows, QObject *parent);
    ~TNamingTools() override;

    // The tag sheet, made now when it was left for later.
    TTagPanel *TagPanel();
    // The window's own tag editor, the one the tag sheet shows (the controller has another).
    TTagEditor &TagEditor() { return *vTagEditor; }
    // The template and expression windows exist now: their choices are connected.
    void ConnectWindows(TCustomizeTemplateWindow *templateWindow,
                        TChangeExpressionWindow *expressionWindow);

    // fOpenFile made an entry current: mode 2 shows its tags; the name editor takes its file name
    // (mode 2) or title.
    void EntryOpened(const TFileName &entry, TBrowseMode mode);
    // Shows the tags of a file (the cache file of a finished download).
    void ShowFileTags(const QString &path);

    // Fills the tag sheet from the tag editor's file (v1 or v2 by the switch) and shows its
    // cover; only while the sheet is the side panel's showing page.
    void ShowID3Tags();
    // Mode 2: the edited fields into every selected file (v1 or v2 by the switch).
    void ChangeTags();
    // Mode 2: copies the selected files' tags from the switch's version into the other one.
    void sSBTagDuplicateClick();
    void sSBChangeCoverArtClick();
    // Mode 2: the picture file becomes the cover of every selected file.
    void ChangeCoverArts(const QString &fileName);
    // The picture chooser of the cover button (empty: cancelled); a file dialog unless replaced.
    void SetCoverChooser(std::function<QString()> chooser)
    {
        vChooseCoverFile = std::move(chooser);
    }
    // A naming tool (TEditType 2, 3, 5, 6, 7): with "auto edit" on, renames all selected files at
    // once; otherwise proposes the current file's new name in sEEdit.
    void fEditName(int editType);
    void AutoEdit(int editType);
    void ChangeExpression(const QString &oldExpression, const QString &newExpression);
    // Enter in sEEdit, sSBEdit: the current file takes the name in sEEdit.
    void fApplyNameEdit();
    void PMERenameFromTagClick();
    void PMENumericClick();
    void PMEDeleteExpressionClick();
    void PMEChangeExpressionClick();
    void PMECopyTagsListToClipBoardClick();
    void sSBTagRenameFileClick();
    void AutoCreateTagsTrackNumbers();

    QLineEdit *sEEdit = nullptr;
    QToolButton *sSBEdit = nullptr;

Q_SIGNALS:
    void status(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTagPage();
    void connectTagPanel();
    void showCoverArt();
    bool sheetShowing() const;
    // The selected entries of the shown folder list (mode 2), in ascending order.
    QList<TFileName> selectedFolderEntries() const;
    // Sets the tag editor to each selected file of the shown folder list in turn and runs `act`,
    // with the playing file released for the while. A file whose name is not text in the
    // system's encoding is skipped (base/RegularFile.h): false when one was.
    bool forEachSelectedTagFile(const std::function<void()> &act);
    // After a naming tool: the tag editor follows the current file, maybe under a new name.
    void followCurrentFileTags();

    TVorlane &vVorlane;
    const TMenus &vMenus;
    TBrowsePanel &vBrowse;
    TSidePanel &vSide;
    TPlayerPanel &vPlayer;
    TWindows vWindows;
    TTagPanel *vTagPanel = nullptr;
    std::unique_ptr<TTagEditor> vTagEditor;
    std::function<QString()> vChooseCoverFile;
};

} // namespace vorlane
