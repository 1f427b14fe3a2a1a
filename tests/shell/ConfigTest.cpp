#include "shell/Config.h"

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace telvorn {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    QWidget owner;
    Config dialog{&owner, NumberedComPorts()};

    template <class T> T* control(const char* name) { return dialog.findChild<T*>(QString::fromLatin1(name)); }
    QLineEdit* box(const char* name) { return control<QLineEdit>(name); }
    QListWidget* vLst() { return control<QListWidget>("vLst"); }
    QString topItem() { return vLst()->indexAt(QPoint(0, 0)).data().toString(); }

    // Opens the dialog and runs `user` inside its modal loop once it is the
    // active window; `user` must end it.
    int open(std::function<void()> user)
    {
        QTimer::singleShot(0, &dialog, [this, user] {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            user();
            if (!QTest::qWaitFor([this] { return !dialog.isVisible(); }))
                dialog.done(-1); // ends a test that would hang, its checks failing
        });
        return dialog.Show();
    }
    void type(QLineEdit* into, const char* text)
    {
        into->setFocus();
        into->selectAll();
        QTest::keyClicks(into, QString::fromLatin1(text));
    }
};

// Setting writes to the controls only: "&Done" confirms what they show, the
// close box what was set, whatever the user changed before it; the boxes,
// never validated, exactly as set.
TEST_F(ConfigTest, DoneConfirmsTheControlsAndTheCloseBoxWhatWasSet)
{
    EXPECT_EQ(dialog.Port(), 0);
    EXPECT_EQ(dialog.LAT(), "");
    for (const bool done : {true, false}) {
        dialog.setLOG(true);
        dialog.setLAT("48.721710");
        dialog.setLON("2.374030");
        dialog.setPort(7);
        dialog.setHSp(true);
        open([&] {
            if (done)
                return QTest::mouseClick(control<QPushButton>("OK"), Qt::LeftButton);
            type(box("vLat"), "12");
            QTest::keyClick(box("vLat"), Qt::Key_Tab);
            QTest::keyClick(vLst(), Qt::Key_Down);
            QTest::mouseClick(control<QCheckBox>("vLog"), Qt::LeftButton);
            dialog.close();
        });
        EXPECT_EQ(dialog.Done(), done);
        EXPECT_EQ(dialog.Port(), 7);
        EXPECT_TRUE(dialog.HSp() && dialog.LOG());
        EXPECT_EQ(dialog.LAT(), "48.721710");
        EXPECT_EQ(dialog.LON(), "2.374030");
    }
    dialog.setLOG(true);
    dialog.setHSp(false);
    open([&] {
        QTest::mouseClick(control<QCheckBox>("vLog"), Qt::LeftButton);
        dialog.OK_Click();
    });
    EXPECT_FALSE(dialog.LOG() || dialog.HSp());
}

// The port is the item at the top of the one-item list, which has the focus
// first; a stored device unplugged since is in it all the same.
TEST_F(ConfigTest, ThePortIsTheItemAtTheTopOfTheOneItemList)
{
    dialog.setPort(3);
    dialog.setPort(20); // no such item: nothing changes
    QString shown;
    bool oneItemHigh = false, focused = false;
    open([&] {
        shown = topItem();
        oneItemHigh = vLst()->indexAt(QPoint(0, vLst()->viewport()->height() - 1)).row() == 2;
        focused = QApplication::focusWidget() == vLst();
        QTest::keyClick(vLst(), Qt::Key_Down);
        QTest::keyClick(vLst(), Qt::Key_Down);
        shown += " " + topItem();
        dialog.OK_Click();
    });
    EXPECT_EQ(shown, "COM3 COM5");
    EXPECT_TRUE(oneItemHigh && focused);
    EXPECT_EQ(dialog.Port(), 5);
#ifndef _WIN32
    std::vector<PortItem> ports = {DevicePortItem("/dev/ttyS0", ""), DevicePortItem("/dev/ttyUSB0", "")};
    NumberPortItems(ports);
    dialog.setPorts(ports);
    dialog.setPort(1);
    dialog.setDevice("/dev/ttyACM3");
    open([&] {
        shown = topItem();
        dialog.OK_Click();
    });
    EXPECT_EQ(shown, "ttyACM3");
    EXPECT_EQ(dialog.Device(), "/dev/ttyACM3");
    EXPECT_EQ(dialog.Port(), 3);
#endif
}

// Leaving a box for another control of the dialog, or "&Done" while it has
// the focus (Alt+D clicks without taking it), makes its text a valid coordinate.
TEST_F(ConfigTest, LeavingABoxOrDoneValidatesIt)
{
    const struct { const char* box; const char* typed; bool done; const char* shown; } rows[] = {
        {"vLat", "-91", false, " 0"}, {"vLon", "2.3740349", false, " 2.37403"},
        {"vLat", "48,5", true, " 48"}, {"vLon", "-179.999995", true, "-180"},
    };
    for (const auto& row : rows) {
        std::string shown;
        open([&] {
            type(box(row.box), row.typed);
            QTest::keyClick(box(row.box), row.done ? Qt::Key_D : Qt::Key_Tab,
                            row.done ? Qt::AltModifier : Qt::NoModifier);
            shown = box(row.box)->text().toStdString();
            if (!row.done)
                dialog.close();
        });
        const bool lat = row.box == std::string_view("vLat");
        EXPECT_EQ(row.done ? (lat ? dialog.LAT() : dialog.LON()) : shown, row.shown) << row.typed;
    }
}

} // namespace
} // namespace telvorn
