#include "untControls.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QRadioButton>
#include <QResizeEvent>
#include <QToolButton>

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

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    // While a longer text set by the program is edited, the limit follows the text down, so the
    // user can shorten it but never lengthen it past the limit.
    connect(this, &QLineEdit::textEdited, this, [this] { Retighten(); });
}

void TEdit::SetTypingLimit(int limit) {
    limit_ = limit;
    Retighten();
}

void TEdit::SetText(const QString& text) {
    if (limit_ > 0)
        setMaxLength(std::max<int>(limit_, static_cast<int>(text.size())));
    setText(text);
}

void TEdit::Retighten() {
    if (limit_ <= 0) {
        setMaxLength(32767);
        return;
    }
    setMaxLength(std::max<int>(limit_, static_cast<int>(text().size())));
}

// ---------------------------------------------------------------- TRadioGroup

TRadioGroup::TRadioGroup(QWidget* parent, int columns)
    : QGroupBox(parent), columns_(std::max(1, columns)), group_(new QButtonGroup(this)) {
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
        button->show();
    }
    Arrange();
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
    QGroupBox::resizeEvent(event);
    Arrange();
}

void TRadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
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
