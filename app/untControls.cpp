// SPDX-License-Identifier: Apache-2.0
#include "untControls.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QToolButton>
#include <QValidator>

#include <algorithm>

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(QWidget* parent, int left, int top, int width, int height, bool rightAligned)
    : QLabel(parent), left_(left), top_(top), right_(left + width), rightAligned_(rightAligned) {
    setTextFormat(Qt::PlainText);
    setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    setGeometry(left, top, width, height);
}

void TLabel::setText(const QString& text) {
    QLabel::setText(text);
    Fit();
}

void TLabel::Fit() {
    const QSize size = sizeHint();
    const int left = rightAligned_ ? right_ - size.width() : left_;
    setGeometry(left, top_, size.width(), size.height());
}

void TLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Fit();
}

// ---------------------------------------------------------------- TEdit

namespace {

// Whether `after` is `before` with one run of characters taken out.
bool IsRunRemoved(const QString& before, const QString& after) {
    if (after.size() >= before.size())
        return false;
    qsizetype prefix = 0;
    while (prefix < after.size() && after[prefix] == before[prefix])
        ++prefix;
    const qsizetype removed = before.size() - after.size();
    return QStringView(before).mid(prefix + removed) == QStringView(after).mid(prefix);
}

} // namespace

// QLineEdit's own maximum length (kept at the limit, or at the length of a longer text the
// program set) stops typing and pasting at the limit, with one exception: it lets an insertion
// replace a selection of a longer text up to that text's length. The validator sees every change
// before it is shown and cuts what such an insertion adds beyond the limit, as typing would.
class TTypingLimitValidator : public QValidator {
public:
    explicit TTypingLimitValidator(TEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        const int limit = edit_->limit_;
        const QString& before = edit_->lastText_;
        if (limit <= 0 || edit_->programSetting_ || input.size() <= limit || input == before ||
            IsRunRemoved(before, input))
            return Acceptable;
        // The change replaced before[prefix, before.size() - suffix) with
        // input[prefix, input.size() - suffix).
        const qsizetype common = std::min(before.size(), input.size());
        qsizetype prefix = 0;
        while (prefix < common && input[prefix] == before[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < common - prefix &&
               input[input.size() - 1 - suffix] == before[before.size() - 1 - suffix])
            ++suffix;
        const qsizetype room = std::max<qsizetype>(0, limit - (prefix + suffix));
        const qsizetype inserted = std::min(room, input.size() - prefix - suffix);
        input = input.left(prefix + inserted) + input.right(suffix);
        pos = static_cast<int>(prefix + inserted);
        return Acceptable;
    }

private:
    TEdit* edit_;
};

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new TTypingLimitValidator(this));
    connect(this, &QLineEdit::textChanged, this, [this] { lastText_ = text(); });
    // While a longer text set by the program is edited, the limit follows the text down, so the
    // user can shorten it but never lengthen it past the limit.
    connect(this, &QLineEdit::textEdited, this, [this] { Retighten(); });
}

void TEdit::SetTypingLimit(int limit) {
    limit_ = limit;
    Retighten();
}

void TEdit::SetText(const QString& text) {
    programSetting_ = true;
    if (limit_ > 0 && text.size() > maxLength())
        setMaxLength(static_cast<int>(text.size()));
    QLineEdit::setText(text);
    programSetting_ = false;
    Retighten();
}

void TEdit::Retighten() {
    const int wanted = limit_ <= 0 ? 32767 : std::max<int>(limit_, static_cast<int>(text().size()));
    if (maxLength() == wanted)
        return;
    // Setting the maximum length sets the text anew, which clears the undo history (so only when
    // it changes) and moves the cursor to the end (so put it back where the user typed).
    const int cursor = cursorPosition();
    const int selection = selectionStart();
    const int selected = selectionLength();
    setMaxLength(wanted);
    if (selection >= 0)
        setSelection(selection, selected);
    else
        setCursorPosition(cursor);
}

// ---------------------------------------------------------------- TWideListComboBox

void TWideListComboBox::showPopup() {
    QAbstractItemView* list = view();
    list->setMinimumWidth(list->sizeHintForColumn(0) +
                          list->verticalScrollBar()->sizeHint().width());
    QComboBox::showPopup();
}

// ---------------------------------------------------------------- TPageControl

void TPageControl::paintEvent(QPaintEvent* event) {
    if (documentMode()) {
        QTabWidget::paintEvent(event);
        return;
    }
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    option.rect = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &option, this);
    // An edge drawn down a band is one span per row: fewer than 96 per fill.
    constexpr int BandRows = 95;
    const QRect area = event->rect();
    QStylePainter painter(this);
    for (int top = area.top(); top <= area.bottom(); top += BandRows) {
        painter.setClipRect(QRect(area.left(), top, area.width(), BandRows));
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
    }
}

// ---------------------------------------------------------------- TGroupBox

namespace {

constexpr int TitleLeft = 8;    // where the title's space starts on the top edge
constexpr int TitlePadding = 2; // blank on either side of the title, which interrupts the edge

} // namespace

TGroupBox::TGroupBox(QWidget* parent) : QGroupBox(parent) {}

QRect TGroupBox::FrameRect() const {
    const int top = fontMetrics().height() / 2;
    return QRect(0, top, width(), height() - top);
}

QRect TGroupBox::TitleRect() const {
    if (title().isEmpty())
        return {};
    const QFontMetrics metrics = fontMetrics();
    return QRect(TitleLeft, 0, metrics.horizontalAdvance(title()) + 2 * TitlePadding,
                 metrics.height());
}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = FrameRect();
    const QRect title = TitleRect();
    // Etched: a shadow line with a light line one pixel inside and below it; the top edge leaves
    // a gap for the title.
    // One-pixel rectangles rather than lines: the same pixels, filled without the pen's
    // stroking (the window's first paint draws a dozen of these frames).
    const auto edges = [&](int offset, const QColor& color) {
        const int left = frame.left() + offset;
        const int top = frame.top() + offset;
        const int right = frame.right() - 1 + offset;
        const int bottom = frame.bottom() - 1 + offset;
        const auto across = [&](int from, int to, int y) {
            painter.fillRect(from, y, to - from + 1, 1, color);
        };
        const auto down = [&](int x) { painter.fillRect(x, top, 1, bottom - top + 1, color); };
        if (title.isEmpty()) {
            across(left, right, top);
        } else {
            across(left, title.left() - 1, top);
            across(title.right() + 1, right, top);
        }
        down(left);
        across(left, right, bottom);
        down(right);
    };
    edges(0, palette().color(QPalette::Mid));
    edges(1, palette().color(QPalette::Light));
    if (!title.isEmpty())
        style()->drawItemText(&painter, title.adjusted(TitlePadding, 0, -TitlePadding, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), this->title(), QPalette::WindowText);
}

// ---------------------------------------------------------------- TRadioGroup

TRadioGroup::TRadioGroup(QWidget* parent, int columns)
    : TGroupBox(parent), columns_(std::max(1, columns)), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
}

void TRadioGroup::SetItems(const QStringList& items) {
    for (QRadioButton* button : buttons_) {
        group_->removeButton(button);
        delete button;
    }
    buttons_.clear();
    int id = 0;
    for (const QString& item : items) {
        auto* button = new QRadioButton(item, this);
        button->setObjectName(objectName() + QStringLiteral("_%1").arg(id));
        group_->addButton(button, id++);
        buttons_.push_back(button);
    }
    // Placed before they are shown: a child shown without a size of its own would first be
    // sized to its text, for nothing.
    Arrange();
    for (QRadioButton* button : buttons_)
        button->show();
}

QStringList TRadioGroup::Items() const {
    QStringList items;
    for (const QRadioButton* button : buttons_)
        items << button->text();
    return items;
}

int TRadioGroup::ItemIndex() const {
    return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[static_cast<std::size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_)
        button->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    TGroupBox::resizeEvent(event);
    Arrange();
}

void TRadioGroup::changeEvent(QEvent* event) {
    TGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Arrange();
}

void TRadioGroup::Arrange() {
    if (buttons_.empty())
        return;
    const int count = Count();
    const int perColumn = (count + columns_ - 1) / columns_;
    const int captionHeight = fontMetrics().height();
    const int buttonWidth = (width() - 10) / columns_;
    const int usable = height() - captionHeight - 5;
    const int buttonHeight = std::max(1, usable / perColumn);
    const int topMargin = captionHeight + 1 + (usable % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        const int left = (i / perColumn) * buttonWidth + 8;
        const int top = (i % perColumn) * buttonHeight + topMargin;
        buttons_[static_cast<std::size_t>(i)]->setGeometry(left, top, buttonWidth, buttonHeight);
    }
}

// ---------------------------------------------------------------- TUpDown

TUpDown::TUpDown(QWidget* parent, QLineEdit* associate, int min, int max, int position)
    : QWidget(parent), associate_(associate), up_(new QToolButton(this)),
      down_(new QToolButton(this)), min_(min), max_(max),
      position_(std::clamp(position, min, max)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(associate_, &QLineEdit::editingFinished, this, [this] { SetPosition(Position()); });
    associate_->setText(QString::number(position_));
}

int TUpDown::Position() const {
    bool ok = false;
    const int typed = associate_->text().trimmed().toInt(&ok);
    if (ok)
        position_ = std::clamp(typed, min_, max_);
    return position_;
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    const QString text = QString::number(position_);
    if (associate_->text() != text)
        associate_->setText(text);
}

void TUpDown::Step(int delta) {
    SetPosition(Position() + delta);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

// ---------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(QWidget* parent, const std::vector<int>& widths) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    int index = 0;
    for (int width : widths) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(index++));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (width > 0) {
            panel->setFixedWidth(width);
            addWidget(panel, 0);
        } else {
            addWidget(panel, 1);
        }
        panels_.push_back(panel);
    }
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    if (QLabel* panel = Panel(index))
        panel->setText(text);
}

QString TStatusBar::PanelText(int index) const {
    const QLabel* panel = Panel(index);
    return panel ? panel->text() : QString();
}

QLabel* TStatusBar::Panel(int index) const {
    if (index < 0 || index >= PanelCount())
        return nullptr;
    return panels_[static_cast<std::size_t>(index)];
}
