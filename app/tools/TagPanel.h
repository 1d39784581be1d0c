#pragma once
// The tag sheet of the side panel (sTSTag): the current file's cover picture over a faded copy of
// it, the six common tag fields, the v1/v2 switch and the six tag buttons.
//
// The sheet is a view: it shows what it is given and reports what the user asks for. Reading
// and writing tags, and deciding which files an edit goes to, belong to the naming tools, which
// own the tag editor (TNamingTools::ShowID3Tags, ChangeTags and the other tag handlers).
// Main thread only.

#include "tags/TagEditor.h"

#include <QImage>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QSlider;
class QTimer;
class QToolButton;

namespace vorlane {

// A picture drawn scaled to fit its box, centred, never enlarged beyond twice its size; a right
// button press is reported. The cover picture (ITagCoverImage) is one.
class TCoverImage : public QWidget {
    Q_OBJECT

public:
    explicit TCoverImage(QWidget *parent = nullptr);
    void SetImage(const QImage &image);
    const QImage &Image() const { return vImage; }

Q_SIGNALS:
    void rightPressed();
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage vImage;
};

// The sheet's background (sIBackground): a blurred, faded copy of the cover filling the sheet.
class TCoverBackground : public QWidget {
    Q_OBJECT

public:
    explicit TCoverBackground(QWidget *parent = nullptr);
    void SetImage(const QImage &image);
    // How strongly the picture shows through the window colour (0..1).
    static constexpr double kOpacity = 0.4;

Q_SIGNALS:
    void rightPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage vBlurred; // small copy, scaled up when painted: the blur
};

class TTagPanel : public QWidget {
    Q_OBJECT

public:
    explicit TTagPanel(QWidget *parent = nullptr);

    // The six fields as the user left them (FileType empty).
    TTag Fields() const;
    // Only the fields whose text differs from what ShowTag put there; the others empty.
    TTag ChangedFields() const;
    // Fills the six fields; FileType is not shown.
    void ShowTag(const TTag &tag);
    void ClearFields();
    // The same picture in the cover box and, faded, as the background.
    void ShowCover(const QImage &cover);
    // The box GetCoverArt scales the picture for.
    QSize CoverBoxSize() const;

    // The version switch: true on "v2".
    bool V2() const;
    void SetV2(bool on);

    // The genre names offered (the ID3v1 genre table, in table order).
    QStringList GenreNames() const;

    QLineEdit *sETagTitle = nullptr;
    QLineEdit *sETagArtist = nullptr;
    QLineEdit *sETagAlbum = nullptr;
    QComboBox *sCBTagGenre = nullptr;
    QLineEdit *sETagYear = nullptr;
    QLineEdit *sETagTrackNumber = nullptr;
    QSlider *sSEnabledTagV2 = nullptr;
    TCoverImage *ITagCoverImage = nullptr;
    TCoverBackground *sIBackground = nullptr;
    QToolButton *sSBTagRenameFile = nullptr;
    QToolButton *sSBChangeCoverArt = nullptr;
    QToolButton *sSBTagAutoCreateTrackNumbers = nullptr;
    QToolButton *sSBTagAutocreate = nullptr;
    QToolButton *sSBTagDuplicate = nullptr;
    QToolButton *sSBTagChange = nullptr;

    // Set by the window when the sheet could not follow a new file because it was not showing;
    // showing it then asks for the tags again (staleShown).
    bool Stale = false;

Q_SIGNALS:
    // Enter in any of the six fields, or the save button.
    void applyRequested();
    // The version switch moved.
    void versionChanged(bool v2);
    // A right button press on the cover or the background: show the next sheet.
    void nextSheetRequested();
    // The cover box changed its size: the picture should be made again for it.
    void coverBoxResized();
    // The sheet came into view while Stale.
    void staleShown();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    TTag vShown;
    QTimer *vCoverResizeTimer = nullptr;
};

} // namespace vorlane
