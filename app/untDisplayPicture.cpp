// SPDX-License-Identifier: Apache-2.0
#include "untDisplayPicture.h"

#include "untCodePageText.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// The display's own pace of scrolling is not documented: one column every 350 ms, with four
// blank columns between the end of the line and its start again, as the virtual display does.
constexpr int ScrollIntervalMs = 350;
constexpr int ScrollGap = 4;

constexpr int Margin = 3;

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
    if (row == 1)
        offset_ = 0;
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

QString TDisplayPicture::LineText(int row) const {
    QString text;
    for (const TColumn& column : ColumnsOf(row))
        if (column.Cell == nullptr)
            text += QLatin1Char(' ');
        else if (column.Part == 0)
            text += column.Cell->Text;
    return text;
}

QString TDisplayPicture::ShownText(int row) const {
    QString text;
    for (const TColumn& column : Shown(row))
        if (column.Cell == nullptr)
            text += QLatin1Char(' ');
        else if (column.Part == 0)
            text += column.Cell->Text;
    return text;
}

void TDisplayPicture::ScrollStep() {
    if (!Scrolls())
        return;
    offset_ = (offset_ + 1) % static_cast<int>(ColumnsOf(1).size() + ScrollGap);
    update();
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

void TDisplayPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A vacuum fluorescent display: dark glass, blue-green characters.
    const QColor glass(0x10, 0x1c, 0x1c);
    const QColor lit(0x4d, 0xf0, 0xd2);
    const QColor unlit(0x1d, 0x33, 0x31);
    painter.fillRect(rect(), palette().window());
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.fillPath(frame, glass);

    const qreal cellWidth = (width() - 2.0 * Margin) / Columns;
    const qreal cellHeight = (height() - 2.0 * Margin) / Rows;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(std::max(8, static_cast<int>(cellHeight * 0.8)));
    painter.setFont(font);
    for (int row = 0; row < Rows; ++row) {
        const qreal top = Margin + row * cellHeight;
        const QRectF band(Margin, top, Columns * cellWidth, cellHeight);
        painter.save();
        painter.setClipRect(band);
        const std::vector<TColumn> shown = Shown(row);
        for (int c = 0; c < Columns; ++c) {
            const QRectF cell(Margin + c * cellWidth, top, cellWidth, cellHeight);
            painter.fillRect(cell.adjusted(1, 1, -1, -1), unlit);
        }
        painter.setPen(lit);
        for (int c = 0; c < Columns; ++c) {
            const TColumn& column = shown[static_cast<std::size_t>(c)];
            // A character is drawn from its first column, or from the left edge when scrolling
            // has moved its first column out of sight.
            if (column.Cell == nullptr || (column.Part != 0 && c != 0))
                continue;
            const qreal left = Margin + (c - column.Part) * cellWidth;
            const QRectF area(left, top, column.Cell->Columns * cellWidth, cellHeight);
            const QString& text = column.Cell->Text;
            const bool control = text.size() == 1 && text[0].unicode() < 0x20;
            painter.drawText(area, Qt::AlignCenter, control ? QStringLiteral("\u00B7") : text);
        }
        painter.restore();
    }
}
