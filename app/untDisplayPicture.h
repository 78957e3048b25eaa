// SPDX-License-Identifier: Apache-2.0
#pragma once

// A picture of the customer display's two 20-column lines, drawn from the bytes the display
// gets, decoded in a code page: what the display will show, before it is sent.

#include "ByteString.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

// One character of a line as the display places it: its text and the columns (bytes) it takes.
struct TPictureCell {
    QString Text;
    int Columns = 1;
};

// The characters of display bytes in a code page, one cell per character; a byte that is no
// character of the page is a cell of its own holding U+FFFD. A 00 byte ends the line, as it ends
// the frame that carries it.
std::vector<TPictureCell> PictureCells(const ByteString& bytes, int codePage);

class QPainter;

class TDisplayPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int Rows = 2;
    static constexpr int Columns = 20;

    explicit TDisplayPicture(QWidget* parent = nullptr);

    // Line `row` (0 or 1): the bytes from column `column` (0-based) on, in the code page; the
    // rest of the line blank. Bytes past the last column do not show (line 2 may scroll them in).
    void SetLine(int row, const ByteString& bytes, int codePage, int column = 0);
    // Line 2 scrolls as a marquee when it is longer than the display and this is on.
    void SetScrolling(bool on);
    void Clear();

    // The whole of a line as placed (cells, blanks before `column` included), and the 20
    // columns of it shown now (line 2 as far as it has scrolled).
    QString LineText(int row) const;
    QString ShownText(int row) const;
    bool Scrolls() const;
    // One step of the marquee, as the timer takes it.
    void ScrollStep();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // One column of a line: the cell over it (none for a blank) and which of its columns.
    struct TColumn {
        const TPictureCell* Cell = nullptr;
        int Part = 0;
    };
    struct TLine {
        std::vector<TPictureCell> Cells;
        int Start = 0; // blank columns before the first cell
    };
    // Whole-pixel cells, centred in the widget.
    struct TGrid {
        int Left = 0;
        int Top = 0;
        int CellWidth = 1;
        int CellHeight = 1;
    };
    TGrid Grid() const;
    void PaintColumns(QPainter& painter, const std::vector<TColumn>& columns, QPoint origin,
                      const TGrid& g) const;
    std::vector<TColumn> ColumnsOf(int row) const;
    // The characters over the columns, a blank for each empty one.
    static QString CharactersOf(const std::vector<TColumn>& columns);
    // The 20 columns row shows now.
    std::vector<TColumn> Shown(int row) const;
    void UpdateTimer();

    std::array<TLine, Rows> lines_;
    bool scrolling_ = false;
    int offset_ = 0;
    QTimer scrollTimer_;
    // Line 2 as a marquee strip, drawn again only when its content changes.
    QPixmap marquee_;
    bool marqueeStale_ = true;
};
