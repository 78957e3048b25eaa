// SPDX-License-Identifier: Apache-2.0
#include "untDisplayPicture.h"

#include "untCodePageText.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// The display's own pace of scrolling is not documented: one column every 350 ms, with four
// blank columns between the end of the line and its start again, as the virtual display does.
constexpr int ScrollIntervalMs = 350;
constexpr int ScrollGap = 4;

constexpr int Margin = 3;

// A vacuum fluorescent display: dark glass, blue-green characters.
const QColor Glass(0x10, 0x1c, 0x1c);
const QColor Lit(0x4d, 0xf0, 0xd2);
const QColor Unlit(0x1d, 0x33, 0x31);

// The longest byte sequence of one character in a code page.
int LongestCharacter(int codePage) {
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
        return 2;
    case 65001:
        return 4;
    default:
        return 1;
    }
}

bool OneCharacter(const std::u16string& text) {
    if (text.size() == 1)
        return text[0] != u'\uFFFD';
    return text.size() == 2 && QChar::isHighSurrogate(text[0]) && QChar::isLowSurrogate(text[1]);
}

} // namespace

std::vector<TPictureCell> PictureCells(const ByteString& bytes, int codePage) {
    const ByteString line = bytes.substr(0, bytes.find('\0'));
    const int longest = LongestCharacter(codePage);
    std::vector<TPictureCell> cells;
    std::size_t i = 0;
    while (i < line.size()) {
        TPictureCell cell{QString(QChar(0xFFFD)), 1};
        for (int n = 1; n <= longest && i + static_cast<std::size_t>(n) <= line.size(); ++n) {
            const std::u16string text =
                CodePageBytesToText(line.substr(i, std::size_t(n)), codePage);
            if (OneCharacter(text)) {
                cell = {QString::fromStdU16String(text), n};
                break;
            }
        }
        cells.push_back(cell);
        i += static_cast<std::size_t>(cell.Columns);
    }
    return cells;
}

TDisplayPicture::TDisplayPicture(QWidget* parent) : QWidget(parent) {
    scrollTimer_.setInterval(ScrollIntervalMs);
    connect(&scrollTimer_, &QTimer::timeout, this, &TDisplayPicture::ScrollStep);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDisplayPicture::SetLine(int row, const ByteString& bytes, int codePage, int column) {
    TLine& line = lines_[static_cast<std::size_t>(row)];
    line.Cells = PictureCells(bytes, codePage);
    line.Start = std::max(0, column);
    if (row == 1) {
        offset_ = 0;
        marqueeStale_ = true;
    }
    UpdateTimer();
    update();
}

void TDisplayPicture::SetScrolling(bool on) {
    if (scrolling_ == on)
        return;
    scrolling_ = on;
    offset_ = 0;
    UpdateTimer();
    update();
}

void TDisplayPicture::Clear() {
    for (TLine& line : lines_)
        line = {};
    offset_ = 0;
    marqueeStale_ = true;
    UpdateTimer();
    update();
}

std::vector<TDisplayPicture::TColumn> TDisplayPicture::ColumnsOf(int row) const {
    const TLine& line = lines_[static_cast<std::size_t>(row)];
    std::vector<TColumn> columns(static_cast<std::size_t>(line.Start));
    for (const TPictureCell& cell : line.Cells)
        for (int part = 0; part < cell.Columns; ++part)
            columns.push_back({&cell, part});
    return columns;
}

bool TDisplayPicture::Scrolls() const {
    return scrolling_ && ColumnsOf(1).size() > static_cast<std::size_t>(Columns);
}

std::vector<TDisplayPicture::TColumn> TDisplayPicture::Shown(int row) const {
    std::vector<TColumn> columns = ColumnsOf(row);
    if (row == 1 && Scrolls()) {
        columns.resize(columns.size() + ScrollGap);
        std::vector<TColumn> shown;
        for (int c = 0; c < Columns; ++c)
            shown.push_back(columns[(static_cast<std::size_t>(offset_ + c)) % columns.size()]);
        return shown;
    }
    columns.resize(Columns);
    return columns;
}

QString TDisplayPicture::CharactersOf(const std::vector<TColumn>& columns) {
    QString text;
    for (const TColumn& column : columns)
        if (column.Cell == nullptr)
            text += QLatin1Char(' ');
        else if (column.Part == 0)
            text += column.Cell->Text;
    return text;
}

QString TDisplayPicture::LineText(int row) const {
    return CharactersOf(ColumnsOf(row));
}

QString TDisplayPicture::ShownText(int row) const {
    return CharactersOf(Shown(row));
}

void TDisplayPicture::ScrollStep() {
    if (!Scrolls())
        return;
    offset_ = (offset_ + 1) % static_cast<int>(ColumnsOf(1).size() + ScrollGap);
    // Only line 2 moves: nothing else is painted again.
    const TGrid g = Grid();
    update(g.Left, g.Top + g.CellHeight, Columns * g.CellWidth, g.CellHeight);
}

void TDisplayPicture::UpdateTimer() {
    // Runs only while there is something to move on screen: an idle window wakes for nothing.
    const bool run = isVisible() && Scrolls();
    if (run && !scrollTimer_.isActive())
        scrollTimer_.start();
    else if (!run)
        scrollTimer_.stop();
}

void TDisplayPicture::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateTimer();
}

void TDisplayPicture::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    UpdateTimer();
}

TDisplayPicture::TGrid TDisplayPicture::Grid() const {
    TGrid g;
    g.CellWidth = std::max(1, (width() - 2 * Margin) / Columns);
    g.CellHeight = std::max(1, (height() - 2 * Margin) / Rows);
    g.Left = (width() - g.CellWidth * Columns) / 2;
    g.Top = (height() - g.CellHeight * Rows) / 2;
    return g;
}

void TDisplayPicture::PaintColumns(QPainter& painter, const std::vector<TColumn>& columns,
                                   QPoint origin, const TGrid& g) const {
    // The window's own font, centred in each cell: a font of its own would cost its loading at
    // start-up.
    QFont font = this->font();
    font.setPixelSize(std::max(8, g.CellHeight * 4 / 5));
    painter.setFont(font);
    for (std::size_t c = 0; c < columns.size(); ++c)
        painter.fillRect(QRect(origin.x() + static_cast<int>(c) * g.CellWidth + 1, origin.y() + 1,
                               g.CellWidth - 2, g.CellHeight - 2),
                         Unlit);
    painter.setPen(Lit);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TColumn& column = columns[c];
        // A character is drawn from its first column, or from the left edge when scrolling
        // has moved its first column out of sight.
        if (column.Cell == nullptr || (column.Part != 0 && c != 0))
            continue;
        const QRect area(origin.x() + (static_cast<int>(c) - column.Part) * g.CellWidth, origin.y(),
                         column.Cell->Columns * g.CellWidth, g.CellHeight);
        const QString& text = column.Cell->Text;
        const bool control = text.size() == 1 && text[0].unicode() < 0x20;
        painter.drawText(area, Qt::AlignCenter, control ? QStringLiteral("\u00B7") : text);
    }
}

void TDisplayPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const TGrid g = Grid();
    const QRect line1(g.Left, g.Top, Columns * g.CellWidth, g.CellHeight);
    const QRect line2 = line1.translated(0, g.CellHeight);
    // A step of the marquee repaints line 2 alone: the glass and line 1 stay as they are.
    if (!line2.contains(event->rect())) {
        painter.fillRect(rect(), palette().window());
        QPainterPath frame;
        frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.fillPath(frame, Glass);
        PaintColumns(painter, Shown(0), line1.topLeft(), g);
    }
    if (!Scrolls()) {
        PaintColumns(painter, Shown(1), line2.topLeft(), g);
        return;
    }
    // The marquee is drawn once into a strip; each step only shows another part of it.
    std::vector<TColumn> loop = ColumnsOf(1);
    loop.resize(loop.size() + ScrollGap);
    const QSize stripSize(static_cast<int>(loop.size()) * g.CellWidth, g.CellHeight);
    if (marquee_.size() != stripSize * devicePixelRatio() || marqueeStale_) {
        marquee_ = QPixmap(stripSize * devicePixelRatio());
        marquee_.setDevicePixelRatio(devicePixelRatio());
        marquee_.fill(Glass);
        QPainter strip(&marquee_);
        strip.setRenderHint(QPainter::Antialiasing);
        PaintColumns(strip, loop, QPoint(0, 0), g);
        marqueeStale_ = false;
    }
    painter.setClipRect(line2);
    const int x = line2.x() - offset_ * g.CellWidth;
    painter.drawPixmap(x, line2.y(), marquee_);
    painter.drawPixmap(x + stripSize.width(), line2.y(), marquee_);
}
