// SPDX-License-Identifier: Apache-2.0
#pragma once

// Small widgets the window is built from: an auto-sizing label, an edit whose typing limit does
// not cut text the program puts in, a radio group with ItemIndex semantics, an up-down control
// bound to an edit, a status bar of fixed-width panels, and a page control that paints its frame
// without handing it to Qt's thread pool.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

#include <vector>

class QButtonGroup;
class QRadioButton;
class QToolButton;

// A label that sizes itself to its text. A right-aligned label keeps its right edge where the
// layout put it and grows to the left (so a longer caption never runs into the control it
// names); any other label keeps its left edge.
class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(QWidget* parent, int left, int top, int width, int height, bool rightAligned);

    // Hides QLabel::setText so that every caption change through a TLabel refits the label.
    void setText(const QString& text);
    void Fit();

protected:
    void changeEvent(QEvent* event) override;

private:
    int left_;
    int top_;
    int right_;
    bool rightAligned_;
};

// A one-line edit whose typing limit works like the classic MaxLength: it limits what the user
// types or pastes (or drops, or commits from an input method), never the text the program sets
// (QLineEdit::setMaxLength would silently cut a longer welcome line read from the display or a
// file). The user can shorten such a longer text but adds nothing to it beyond the limit.
class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent);

    // 0 means no limit.
    void SetTypingLimit(int limit);
    // Sets the text as the program does: never cut, the change handlers run.
    void SetText(const QString& text);
    // Hides QLineEdit::setText so that every text set through a TEdit counts as the program's.
    void setText(const QString& text) { SetText(text); }

private:
    friend class TTypingLimitValidator;
    void Retighten();
    int limit_ = 0;
    bool programSetting_ = false;
    QString lastText_; // the text as the last change left it
};

// A drop-down whose list opens at least as wide as its longest item, so that long names show
// whole from a narrow box. The width is taken as the list opens: making the list's view at
// start only to measure it cost as much as reading the ports.
class TWideListComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
};

// A page control (tab widget) whose frame is painted in bands of rows. Qt's raster engine hands
// every fill of more than 95 spans to its thread pool and waits for it: the frame's edges, drawn
// down the whole height, made such fills, and the hand-offs cost the first paint about a
// millisecond. Band by band, each pixel is painted exactly once as before, on this thread.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A group box drawn as the classic one: an etched frame whose top edge runs through the middle of
// the title, and the title inside that edge near the left. The controls of the layout sit in
// the frame below the title; a style that draws the title above the frame (Fusion does) would
// push the frame's top edge through them.
class TGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TGroupBox(QWidget* parent);

    // In the box's coordinates: the frame's outer rectangle, and the title's (empty when the
    // title is).
    QRect FrameRect() const;
    QRect TitleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A group box of radio buttons. Items fill the columns top to bottom, then the next column.
// ItemIndex -1 means no selection. Click is emitted only for the user's choices.
class TRadioGroup : public TGroupBox {
    Q_OBJECT
public:
    TRadioGroup(QWidget* parent, int columns);

    void SetItems(const QStringList& items);
    QStringList Items() const;
    int Count() const { return static_cast<int>(buttons_.size()); }
    int ItemIndex() const;
    void SetItemIndex(int index); // out of range clears the selection
    QRadioButton* Button(int index) const;

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Arrange();
    int columns_;
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
};

// Up and down arrows bound to an edit that shows the position. The position always lies in
// [Min, Max]: a number typed into the edit counts once it is within range (clamped otherwise,
// and written back when editing ends); text that is no number leaves the last position.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QWidget* parent, QLineEdit* associate, int min, int max, int position);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const;
    void SetPosition(int position);
    void Step(int delta);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* associate_;
    QToolButton* up_;
    QToolButton* down_;
    int min_;
    int max_;
    mutable int position_;
};

// A status bar of panels with fixed widths (0: the panel takes what is left).
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    TStatusBar(QWidget* parent, const std::vector<int>& widths);

    void SetPanelText(int index, const QString& text);
    QString PanelText(int index) const;
    QLabel* Panel(int index) const;
    int PanelCount() const { return static_cast<int>(panels_.size()); }

private:
    std::vector<QLabel*> panels_;
};
