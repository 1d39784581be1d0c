#pragma once
// The browse list view with its drawing, and the alphabet index above it. Main thread only.

#include <QListView>
#include <QStyledItemDelegate>
#include <QWidget>

namespace vorlane {

// The browse list: several entries may be selected; row 0 (in every mode but the root menu) is
// the way back and is drawn as such. It never moves its own selection with keys (the window's
// keys do that), goes back on Backspace, and lays its entries out in columns (SetColumns).
// A right-button press on a selection starts dragging it; a drop of its own rows asks the window
// to reorder them.
class TBrowseListView : public QListView {
    Q_OBJECT

public:
    static const char *const kRowsMimeType;

    explicit TBrowseListView(QWidget *parent = nullptr);

    // 0 is one plain column; n > 1 columns of width / n that fill top to bottom, then sideways.
    void SetColumns(int columns);
    int Columns() const { return vColumns; }
    void SetItemHeight(int height);
    int ItemHeight() const { return vItemHeight; }
    // Whether row 0 is the back entry (false in the root menu).
    void SetHeaderRow(bool header);
    bool HasHeaderRow() const { return vHeaderRow; }
    // The modes in which the selection can be dragged.
    void SetDragAllowed(bool allowed) { vDragAllowed = allowed; }

    // The rows a drag of the present selection carries, and the drop of such a drag at a point
    // of the viewport; false when the data is not a drag of this list's own rows.
    QMimeData *DragData() const;
    bool DropAt(const QMimeData *mime, const QPoint &viewportPos);
    // The keyboard modifiers of the last mouse click (clicked() does not carry them).
    Qt::KeyboardModifiers ClickModifiers() const { return vClickModifiers; }

Q_SIGNALS:
    void backRequested();
    // Rows (in list order) dropped on row dropRow.
    void rowsDropped(const QList<int> &rows, int dropRow);
    void widthChanged(int width);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Rows are all one height and columns one width, so a changed text never moves a row: the
    // changed rows are repainted without laying the whole list out again.
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    void applyLayout();

    int vColumns = 0;
    int vItemHeight = 20;
    bool vHeaderRow = true;
    bool vDragAllowed = false;
    Qt::KeyboardModifiers vClickModifiers;
    QByteArray vToken; // tells this list's drags from others
};

// Draws a plain entry (one line of text, no icon, no check box, left to right, the whole row
// shown selected) exactly as the widget's style would, only faster. Returns false, having drawn
// nothing, for any other entry: the style draws those.
bool PaintPlainRow(QPainter *painter, const QStyleOptionViewItem &item);

// Draws the browse list's rows: the back entry with an arrow and its title between the dashes.
class TBrowseDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TBrowseDelegate(TBrowseListView *view);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TBrowseListView *vView;
};

// The alphabet index: 69 letters drawn by one widget, Latin capitals and digits on the first row,
// Cyrillic capitals on the second. A left click on a letter emits letterClicked with it.
class TAlphabetIndex : public QWidget {
    Q_OBJECT

public:
    explicit TAlphabetIndex(QWidget *parent = nullptr);

    // Where letter i (in AlphabetLetters() order) is drawn; empty for an unknown index.
    QRect LetterRect(int i) const;
    // The letter at a point, -1 for none.
    int LetterAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void letterClicked(QChar letter);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int rowHeight() const;
    int vHover = -1;
};

} // namespace vorlane
