// SPDX-License-Identifier: Apache-2.0
// The window's own controls as a user meets them: pasting into the limited edits, and group
// frames that no control crosses, a drop-down list as wide as its longest item, a page control
// that paints as a tab widget does.

#include "AppTestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The ways a user puts text into an edit besides typing it key by key.
const std::vector<std::pair<const char*, std::function<void(TEdit*, const QString&)>>> Pastes{
    {"Ctrl+V",
     [](TEdit* edit, const QString& text) {
         QApplication::clipboard()->setText(text);
         QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
     }},
    {"Shift+Insert",
     [](TEdit* edit, const QString& text) {
         QApplication::clipboard()->setText(text);
         QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
     }},
    {"context menu Paste",
     [](TEdit* edit, const QString& text) {
         QApplication::clipboard()->setText(text);
         edit->paste();
     }},
    {"input method",
     [](TEdit* edit, const QString& text) {
         QInputMethodEvent commit;
         commit.setCommitString(text);
         QApplication::sendEvent(edit, &commit);
     }},
};

QString Letters(int count, char16_t first = u'a') {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(static_cast<char16_t>(first + i % 26));
    return text;
}

} // namespace

TEST(WindowControls, PastingRespectsTheTypingLimits) {
    auto w = NewWindow();
    w->show();
    const QString pasted = Letters(80, u'A');
    for (auto [edit, limit] :
         {std::pair{w->edt_line1, 20}, {w->edt_line2, 60}, {w->edt_Text(), 20}}) {
        for (const auto& [how, paste] : Pastes) {
            SCOPED_TRACE(edit->objectName().toStdString() + " " + how);
            edit->setFocus();

            // Into an empty edit: the first `limit` characters.
            edit->clear();
            paste(edit, pasted);
            EXPECT_EQ(edit->text(), pasted.left(limit));

            // Into the middle of a short text: the text around stays, the paste is cut.
            edit->SetText("abc");
            edit->setCursorPosition(1);
            paste(edit, pasted);
            EXPECT_EQ(edit->text(), "a" + pasted.left(limit - 3) + "bc");
            EXPECT_EQ(edit->cursorPosition(), 1 + limit - 3);

            // A longer text the program set stays whole...
            const QString program = Letters(limit + 5);
            edit->SetText(program);
            EXPECT_EQ(edit->text(), program);
            // ...nothing is added to it...
            edit->end(false);
            paste(edit, pasted);
            EXPECT_EQ(edit->text(), program);
            // ...a paste over all of it is cut to the limit...
            edit->selectAll();
            paste(edit, pasted);
            EXPECT_EQ(edit->text(), pasted.left(limit));
            // ...and one over a part of it adds only what the limit leaves room for.
            edit->SetText(program);
            edit->setSelection(2, 5);
            paste(edit, "XYZ");
            EXPECT_EQ(edit->text(), program.left(2) + program.mid(7));
            edit->SetText(program);
            edit->setSelection(2, 8);
            paste(edit, "XYZ12345");
            EXPECT_EQ(edit->text(), program.left(2) + "XYZ" + program.mid(10));
            EXPECT_EQ(edit->text().size(), limit);
        }
    }
    // The counter follows what was kept.
    w->edt_line1->clear();
    Pastes.front().second(w->edt_line1, pasted);
    EXPECT_EQ(w->lbl_mess1_count->text(), "20");
}

TEST(WindowControls, TypingOverASelectionOfALongerTextAddsNothingBeyondTheLimit) {
    auto w = NewWindow();
    w->show();
    TEdit* edit = w->edt_line1;
    const QString program = Letters(25);
    edit->SetText(program);
    edit->setFocus();
    edit->setSelection(0, 3);
    QTest::keyClicks(edit, "XY");
    // The selection goes; 22 characters left, so nothing typed fits.
    EXPECT_EQ(edit->text(), program.mid(3));
    // Shortened further, it takes typing again, where the cursor is.
    edit->setSelection(2, 5);
    QTest::keyClicks(edit, "XYZ");
    EXPECT_EQ(edit->text(), program.mid(3, 2) + "XYZ" + program.mid(10));
    EXPECT_EQ(edit->cursorPosition(), 5);
    QTest::keyClicks(edit, "W");
    EXPECT_EQ(edit->text().size(), 20);
    // In the middle of a longer text, the cursor stays where the user edits.
    edit->SetText(program);
    edit->setCursorPosition(10);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), program.left(8) + program.mid(10));
    EXPECT_EQ(edit->cursorPosition(), 8);
}

TEST(WindowControls, UndoWorksInTheLimitedEdits) {
    auto w = NewWindow();
    w->show();
    for (TEdit* edit : {w->edt_line1, w->edt_line2, w->edt_Text()}) {
        SCOPED_TRACE(edit->objectName().toStdString());
        edit->SetText("abc");
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, "de");
        QApplication::clipboard()->setText("XYZ");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "abcdeXYZ");
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "abcde");
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "abc");
    }
}

TEST(WindowControls, NoControlCrossesAGroupFrame) {
    for (std::uint16_t langID : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
        SCOPED_TRACE(langID);
        auto w = NewWindow(langID);
        ShowEveryPage(*w);
        const auto groups = w->findChildren<QGroupBox*>();
        ASSERT_EQ(groups.size(), 10);
        for (QGroupBox* box : groups) {
            SCOPED_TRACE(box->objectName().toStdString());
            auto* group = qobject_cast<TGroupBox*>(box);
            ASSERT_NE(group, nullptr) << "drawn by the style, not as a classic group box";
            const QRect frame = group->FrameRect();
            const QRect title = group->TitleRect();
            EXPECT_EQ(frame.bottomRight(), group->rect().bottomRight());
            // The title sits on the top edge, whole, within the frame's width.
            if (!group->title().isEmpty()) {
                EXPECT_LE(title.top(), frame.top());
                EXPECT_GE(title.bottom(), frame.top());
                EXPECT_GE(title.width(), group->fontMetrics().horizontalAdvance(group->title()));
                EXPECT_LT(title.right(), frame.right() - 8);
            }
            // Inside both lines of the frame and clear of the title: the group's own controls
            // and those of its parent placed over it.
            const QRect inside = frame.adjusted(2, 2, -2, -2);
            std::vector<const QWidget*> controls;
            for (const QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                controls.push_back(child);
            for (const QWidget* sibling :
                 group->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (sibling != group && !qobject_cast<const QGroupBox*>(sibling) &&
                    sibling->geometry().intersects(group->geometry()))
                    controls.push_back(sibling);
            }
            for (const QWidget* control : controls) {
                if (control->isHidden())
                    continue;
                SCOPED_TRACE(control->objectName().toStdString());
                const QRect place(group->mapFrom(control->parentWidget(), control->pos()),
                                  control->size());
                EXPECT_TRUE(inside.contains(place)) << place.x() << "," << place.y() << " "
                                                    << place.width() << "x" << place.height();
                EXPECT_FALSE(place.intersects(title));
            }
        }
        EXPECT_EQ(w->btn_brightness_set->parentWidget(), w->tsBasicSet);
    }
}

TEST(WindowControls, GroupFrameIsDrawnWhereItIsMeasured) {
    auto w = NewWindow();
    auto* group = qobject_cast<TGroupBox*>(w->grp_commandSet);
    ASSERT_NE(group, nullptr);
    const QImage image = group->grab().toImage();
    const QRect frame = group->FrameRect();
    const QRect title = group->TitleRect();
    const QRgb shadow = group->palette().color(QPalette::Mid).rgb();
    const QRgb light = group->palette().color(QPalette::Light).rgb();
    const auto pixel = [&image](int x, int y) { return image.pixel(x, y); };
    const int x = frame.right() - 20;
    EXPECT_EQ(pixel(x, frame.top()), shadow);
    EXPECT_EQ(pixel(x, frame.top() + 1), light);
    EXPECT_EQ(pixel(frame.left(), frame.center().y()), shadow);
    EXPECT_EQ(pixel(frame.right() - 1, frame.center().y()), shadow);
    EXPECT_EQ(pixel(x, frame.bottom() - 1), shadow);
    EXPECT_EQ(pixel(title.left() - 2, frame.top()), shadow);
    // The title interrupts the top edge.
    EXPECT_NE(pixel(title.left() + 1, frame.top()), shadow);
}

TEST(WindowControls, PortListOpensWideEnoughForItsLongestName) {
    // Several times the box's width, yet within the narrowest screen a test runs on (the
    // offscreen screen under Wine is 800 pixels wide and measures text wider than Linux does).
    const QString longName = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-port0");
    // Fusion widens a list that pops up by itself; the Windows styles open it as wide as the box.
    for (const char* styleName : {"Fusion", "Windows"}) {
        SCOPED_TRACE(styleName);
        auto w = NewWindow();
        std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(styleName)));
        ASSERT_NE(style, nullptr);
        TWideListComboBox* ports = w->cbb_SerialPort;
        ports->setStyle(style.get());
        w->show();
        ports->addItem(longName);
        ASSERT_LT(ports->width(), ports->fontMetrics().horizontalAdvance(longName));
        ports->showPopup();
        const QAbstractItemView* list = ports->view();
        EXPECT_TRUE(list->isVisible());
        EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(longName));
        ports->hidePopup();
    }
}

TEST(WindowControls, PageControlPaintsWhatATabWidgetPaints) {
    // Band by band, under any clip (a page's opaque controls make it no rectangle), in the
    // style the window uses here and in the Windows one.
    for (const char* styleName : {"Fusion", "Windows"}) {
        SCOPED_TRACE(styleName);
        std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(styleName)));
        ASSERT_NE(style, nullptr);
        const auto paint = [&style](QTabWidget& pages, const QRegion& region) {
            pages.setStyle(style.get());
            pages.setGeometry(0, 0, 793, 517);
            auto* page = new QWidget();
            pages.addTab(page, QStringLiteral("Basic Setting"));
            pages.addTab(new QWidget(), QStringLiteral("CodePage Setting"));
            (new QPlainTextEdit(page))->setGeometry(150, 250, 500, 45);
            pages.show();
            QImage image(pages.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            pages.render(&image, QPoint(), region);
            return image;
        };
        const QRegion whole(0, 0, 793, 517);
        for (const QRegion& region : {whole, whole.subtracted(QRegion(150, 280, 500, 45)),
                                      QRegion(0, 100, 793, 30).united(QRegion(400, 0, 40, 517))}) {
            QTabWidget plain;
            TPageControl banded;
            EXPECT_EQ(paint(banded, region), paint(plain, region));
        }
    }
}
