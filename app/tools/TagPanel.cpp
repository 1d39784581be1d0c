#include "app/tools/TagPanel.h"

#include "app/widgets/Icons.h"
#include "app/widgets/NamedWidgets.h"
#include "tags/ID3v1Tag.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlane {

namespace {

QLabel *fieldLabel(const char *name, const QString &text)
{
    auto *l = new QLabel(text);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit *fieldEdit(const char *name)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    return e;
}

// The genre box draws its own chevron: the themes give its drop-down button no frame, which
// would leave the style's arrow out.
class TGenreBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QComboBox::paintEvent(event);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor colour = palette().color(QPalette::Text);
        colour.setAlphaF(isEnabled() ? 0.75f : 0.35f);
        p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF centre(width() - 11.5, height() / 2.0 + 1);
        const QPointF chevron[] = {centre + QPointF(-4, -2.5), centre + QPointF(0, 1.5),
                                   centre + QPointF(4, -2.5)};
        p.drawPolyline(chevron, 3);
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------

TCoverImage::TCoverImage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ITagCoverImage"));
    setMinimumSize(182, 132);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TCoverImage::SetImage(const QImage &image)
{
    vImage = image;
    update();
}

void TCoverImage::paintEvent(QPaintEvent *)
{
    if (vImage.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The picture keeps its proportions; a small one is enlarged at most twice, so that a
    // thumbnail does not turn into a blur.
    const QSize box = size() - QSize(12, 12);
    QSize shown = vImage.size().scaled(box, Qt::KeepAspectRatio);
    if (shown.width() > vImage.width() * 2)
        shown = vImage.size() * 2;
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                       shown);
    // A soft shadow under rounded corners.
    for (int i = 1; i <= 4; ++i) {
        QColor shade(0, 0, 0, 14 - 3 * i);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(QRectF(target).adjusted(-i, -i + 2, i, i + 2), 8 + i, 8 + i);
    }
    QPainterPath clip;
    clip.addRoundedRect(QRectF(target), 8, 8);
    p.setClipPath(clip);
    p.drawImage(target, vImage);
    p.setClipping(false);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(target).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void TCoverImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        Q_EMIT rightPressed();
    QWidget::mousePressEvent(event);
}

void TCoverImage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Q_EMIT resized();
}

// ---------------------------------------------------------------------------------------------

TCoverBackground::TCoverBackground(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sIBackground"));
}

void TCoverBackground::SetImage(const QImage &image)
{
    // Scaled down to a few dozen pixels and drawn large again with smoothing: a cheap blur that
    // keeps the picture's colours and loses its detail, so that it never competes with the text.
    vBlurred = image.isNull()
                   ? QImage()
                   : image.scaled(24, 24, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    update();
}

void TCoverBackground::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (vBlurred.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize cover = vBlurred.size().scaled(size(), Qt::KeepAspectRatioByExpanding);
    const QRect target(QPoint((width() - cover.width()) / 2, (height() - cover.height()) / 2),
                       cover);
    p.setOpacity(kOpacity);
    p.drawImage(target, vBlurred);
    // Towards the fields and buttons the window colour takes over again.
    p.setOpacity(1.0);
    QLinearGradient fade(0, 0, 0, height());
    QColor window = palette().color(QPalette::Window);
    window.setAlpha(0);
    fade.setColorAt(0.0, window);
    window.setAlpha(110);
    fade.setColorAt(0.6, window);
    window.setAlpha(200);
    fade.setColorAt(1.0, window);
    p.fillRect(rect(), fade);
}

void TCoverBackground::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        Q_EMIT rightPressed();
    QWidget::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------------

TTagPanel::TTagPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sTSTag"));
    sIBackground = new TCoverBackground(this);
    sIBackground->lower();

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(8, 8, 8, 8);
    v->setSpacing(6);

    ITagCoverImage = new TCoverImage;
    v->addWidget(ITagCoverImage, 1);

    // The version switch under the cover: "v1" on the left, "v2" on the right.
    auto *version = new QHBoxLayout;
    version->setSpacing(4);
    sSEnabledTagV2 = new QSlider(Qt::Horizontal);
    sSEnabledTagV2->setObjectName(QStringLiteral("sSEnabledTagV2"));
    sSEnabledTagV2->setRange(0, 1);
    sSEnabledTagV2->setPageStep(1);
    sSEnabledTagV2->setValue(1);
    sSEnabledTagV2->setFixedWidth(40);
    version->addStretch(1);
    version->addWidget(fieldLabel("sLTagV1", QStringLiteral("v1")));
    version->addWidget(sSEnabledTagV2);
    version->addWidget(fieldLabel("sLTagV2", QStringLiteral("v2")));
    version->addStretch(1);
    v->addLayout(version);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(4);
    sETagTitle = fieldEdit("sETagTitle");
    sETagTitle->setAlignment(Qt::AlignCenter);
    sETagArtist = fieldEdit("sETagArtist");
    sETagAlbum = fieldEdit("sETagAlbum");
    sCBTagGenre = new TGenreBox;
    sCBTagGenre->setObjectName(QStringLiteral("sCBTagGenre"));
    sCBTagGenre->setEditable(true);
    // Typed genres are written, not collected into the list.
    sCBTagGenre->setInsertPolicy(QComboBox::NoInsert);
    sCBTagGenre->setMaxVisibleItems(16);
    sCBTagGenre->setMinimumContentsLength(8);
    sCBTagGenre->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    sETagYear = fieldEdit("sETagYear");
    sETagTrackNumber = fieldEdit("sETagTrackNumber");
    const auto row = [form](int r, QLabel *l, QWidget *field) {
        form->addWidget(l, r, 0);
        form->addWidget(field, r, 1, 1, 3);
    };
    row(0, fieldLabel("sLTagTitle", QStringLiteral("Title")), sETagTitle);
    row(1, fieldLabel("sLTagArtist", QStringLiteral("Artist")), sETagArtist);
    row(2, fieldLabel("sLTagAlbum", QStringLiteral("Album")), sETagAlbum);
    row(3, fieldLabel("sLTagGenre", QStringLiteral("Genre")), sCBTagGenre);
    form->addWidget(fieldLabel("sLTagYear", QStringLiteral("Year")), 4, 0);
    form->addWidget(sETagYear, 4, 1);
    form->addWidget(fieldLabel("sLabel1", QStringLiteral("#")), 4, 2, Qt::AlignRight);
    form->addWidget(sETagTrackNumber, 4, 3);
    form->setColumnStretch(1, 3);
    form->setColumnStretch(3, 2);
    v->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    sSBTagRenameFile =
        GlyphToolButton("sSBTagRenameFile", TGlyph::Edit, QStringLiteral("Rename from tags"));
    sSBChangeCoverArt =
        GlyphToolButton("sSBChangeCoverArt", TGlyph::Cover, QStringLiteral("Change cover picture"));
    sSBTagAutoCreateTrackNumbers =
        GlyphToolButton("sSBTagAutoCreateTrackNumbers", TGlyph::SortDefault,
                        QStringLiteral("Number the tracks of the list"));
    sSBTagAutocreate =
        GlyphToolButton("sSBTagAutocreate", TGlyph::Tag, QStringLiteral("Tags from file names"));
    sSBTagDuplicate = GlyphToolButton("sSBTagDuplicate", TGlyph::Copy,
                                      QStringLiteral("Copy tags between versions"));
    sSBTagChange = GlyphToolButton("sSBTagChange", TGlyph::Apply, QStringLiteral("Save tags"));
    for (QToolButton *b : {sSBTagRenameFile, sSBChangeCoverArt, sSBTagAutoCreateTrackNumbers,
                           sSBTagAutocreate, sSBTagDuplicate, sSBTagChange}) {
        buttons->addStretch(1);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    v->addLayout(buttons);
    // The genres go in once the box has its place: each move of a filled box lays out the
    // hundred and fifty names of its list again.
    sCBTagGenre->addItems(ID3v1Genres());
    sCBTagGenre->setCurrentIndex(-1);

    for (QLineEdit *e : {sETagTitle, sETagArtist, sETagAlbum, sCBTagGenre->lineEdit(), sETagYear,
                         sETagTrackNumber})
        connect(e, &QLineEdit::returnPressed, this, &TTagPanel::applyRequested);
    connect(sSBTagChange, &QToolButton::clicked, this, &TTagPanel::applyRequested);
    connect(sSEnabledTagV2, &QSlider::valueChanged, this,
            [this](int value) { Q_EMIT versionChanged(value == 1); });
    connect(ITagCoverImage, &TCoverImage::rightPressed, this, &TTagPanel::nextSheetRequested);
    connect(sIBackground, &TCoverBackground::rightPressed, this, &TTagPanel::nextSheetRequested);
    // A splitter drag resizes the box many times a second: the picture is made once it rests.
    vCoverResizeTimer = new QTimer(this);
    vCoverResizeTimer->setSingleShot(true);
    vCoverResizeTimer->setInterval(60);
    connect(vCoverResizeTimer, &QTimer::timeout, this, &TTagPanel::coverBoxResized);
    connect(ITagCoverImage, &TCoverImage::resized, vCoverResizeTimer, qOverload<>(&QTimer::start));
}

TTag TTagPanel::Fields() const
{
    TTag t;
    t.Title = sETagTitle->text();
    t.Artist = sETagArtist->text();
    t.Album = sETagAlbum->text();
    t.Track = sETagTrackNumber->text();
    t.Genre = sCBTagGenre->currentText();
    t.Year = sETagYear->text();
    return t;
}

TTag TTagPanel::ChangedFields() const
{
    const TTag now = Fields();
    TTag changed;
    const auto take = [](const QString &value, const QString &shown, QString &out) {
        if (value != shown)
            out = value;
    };
    take(now.Title, vShown.Title, changed.Title);
    take(now.Artist, vShown.Artist, changed.Artist);
    take(now.Album, vShown.Album, changed.Album);
    take(now.Track, vShown.Track, changed.Track);
    take(now.Genre, vShown.Genre, changed.Genre);
    take(now.Year, vShown.Year, changed.Year);
    return changed;
}

void TTagPanel::ShowTag(const TTag &tag)
{
    sETagTitle->setText(tag.Title);
    sETagArtist->setText(tag.Artist);
    sETagAlbum->setText(tag.Album);
    sETagTrackNumber->setText(tag.Track);
    sETagYear->setText(tag.Year);
    sCBTagGenre->setCurrentIndex(sCBTagGenre->findText(tag.Genre, Qt::MatchFixedString));
    sCBTagGenre->setEditText(tag.Genre);
    for (QLineEdit *e : {sETagTitle, sETagArtist, sETagAlbum, sETagYear, sETagTrackNumber})
        e->setCursorPosition(0); // a long text shows its beginning
    vShown = Fields();
}

void TTagPanel::ClearFields()
{
    ShowTag(TTag());
}

void TTagPanel::ShowCover(const QImage &cover)
{
    ITagCoverImage->SetImage(cover);
    sIBackground->SetImage(cover);
}

QSize TTagPanel::CoverBoxSize() const
{
    return ITagCoverImage->size();
}

bool TTagPanel::V2() const
{
    return sSEnabledTagV2->value() == 1;
}

void TTagPanel::SetV2(bool on)
{
    sSEnabledTagV2->setValue(on ? 1 : 0);
}

QStringList TTagPanel::GenreNames() const
{
    QStringList names;
    names.reserve(sCBTagGenre->count());
    for (int i = 0; i < sCBTagGenre->count(); ++i)
        names << sCBTagGenre->itemText(i);
    return names;
}

void TTagPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (Stale)
        Q_EMIT staleShown();
}

void TTagPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    sIBackground->setGeometry(rect());
}

} // namespace vorlane
