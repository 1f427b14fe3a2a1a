#include "shell/Config.h"

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
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

    template <class T>
    T* control(const char* name)
    {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* vLat() { return control<QLineEdit>("vLat"); }
    QLineEdit* vLon() { return control<QLineEdit>("vLon"); }
    QListWidget* vLst() { return control<QListWidget>("vLst"); }
    QPushButton* OK() { return control<QPushButton>("OK"); }

    void setInForce()
    {
        dialog.setLOG(true);
        dialog.setLAT("48.721710");
        dialog.setLON("2.374030");
        dialog.setPort(7);
        dialog.setHSp(true);
    }
    // Those values read back; the boxes, never validated, exactly as set.
    void expectInForce()
    {
        EXPECT_EQ(dialog.Port(), 7);
        EXPECT_TRUE(dialog.HSp());
        EXPECT_TRUE(dialog.LOG());
        EXPECT_EQ(dialog.LAT(), "48.721710");
        EXPECT_EQ(dialog.LON(), "2.374030");
    }

    // Opens the dialog and runs `user` inside its modal loop once it is the
    // active window; `user` must end it.
    int open(std::function<void()> user)
    {
        QTimer::singleShot(0, &dialog, [this, user] {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            user();
            if (!QTest::qWaitFor([this] { return !dialog.isVisible(); })) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog.done(-1);
            }
        });
        return dialog.Show();
    }

    QString topItem() { return vLst()->indexAt(QPoint(0, 0)).data().toString(); }
    void type(QLineEdit* box, const char* text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
};

TEST_F(ConfigTest, IsASmallModalToolWindowOverItsOwner)
{
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.windowType(), Qt::Tool);
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.minimumSize(), QSize(114, 73));
    EXPECT_EQ(dialog.maximumSize(), QSize(114, 73));
    EXPECT_EQ(control<QLabel>("vLbl")->text(), "Lat.              Lon.");
    EXPECT_EQ(control<QCheckBox>("vLog")->text(), "&Log");
    EXPECT_EQ(control<QCheckBox>("vSpd")->text(), "1Mbs");
    EXPECT_EQ(control<QCheckBox>("vSpd")->toolTip(), "Select for 1Mbs speed else 115200 Baud will be used");
    EXPECT_EQ(OK()->text(), "&Done");
}

TEST_F(ConfigTest, FocusStartsOnThePortListAndTabsInTheDesignOrder)
{
    QStringList visited;
    open([&] {
        visited << QApplication::focusWidget()->objectName();
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        dialog.close();
    });
    EXPECT_EQ(visited, QStringList({"vLst", "OK", "vLat", "vLon", "vLog", "vSpd", "vLst"}));
}

TEST_F(ConfigTest, DoneReturnsWhatWasSetWhenNoBoxWasEntered)
{
    EXPECT_EQ(dialog.Port(), 0);
    EXPECT_EQ(dialog.LAT(), "");
    setInForce();
    // Setting writes to the controls only; "&Done" confirms.
    EXPECT_EQ(dialog.Port(), 0);
    EXPECT_FALSE(dialog.LOG());
    EXPECT_EQ(open([&] { QTest::mouseClick(OK(), Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_TRUE(dialog.Done());
    expectInForce();

    setInForce();
    dialog.setHSp(false);
    open([&] {
        QTest::mouseClick(control<QCheckBox>("vLog"), Qt::LeftButton);
        dialog.OK_Click();
    });
    EXPECT_FALSE(dialog.LOG());
    EXPECT_FALSE(dialog.HSp());
}

TEST_F(ConfigTest, ThePortIsTheItemAtTheTopOfTheOneItemList)
{
    dialog.setPort(3);
    dialog.setPort(20); // no such item: nothing changes
    QString shown;
    bool oneItemHigh = false;
    open([&] {
        shown = topItem();
        oneItemHigh = vLst()->indexAt(QPoint(0, vLst()->viewport()->height() - 1)).row() == 2;
        dialog.OK_Click();
    });
    EXPECT_EQ(shown, "COM3");
    EXPECT_TRUE(oneItemHigh);
    EXPECT_EQ(dialog.Port(), 3);

    dialog.setPort(3);
    open([&] {
        QTest::keyClick(vLst(), Qt::Key_Down);
        QTest::keyClick(vLst(), Qt::Key_Down);
        shown = topItem();
        dialog.OK_Click();
    });
    EXPECT_EQ(shown, "COM5");
    EXPECT_EQ(dialog.Port(), 5);
}

TEST_F(ConfigTest, LeavingABoxForAnotherControlValidatesIt)
{
    QString lat, lon;
    open([&] {
        type(vLat(), "-91");
        QTest::keyClick(vLat(), Qt::Key_Tab);
        lat = vLat()->text();
        type(vLon(), "2.3740349");
        QTest::mouseClick(control<QCheckBox>("vSpd"), Qt::LeftButton);
        lon = vLon()->text();
        dialog.close();
    });
    EXPECT_EQ(lat, " 0");
    EXPECT_EQ(lon, " 2.37403");
}

TEST_F(ConfigTest, DoneValidatesTheBoxThatHasTheFocus)
{
    open([&] {
        type(vLat(), "48,5");
        QTest::keyClick(vLat(), Qt::Key_D, Qt::AltModifier);
    });
    EXPECT_EQ(dialog.LAT(), " 48");

    open([&] {
        type(vLon(), "-180");
        QTest::mouseClick(OK(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.LON(), "-180");
}

TEST_F(ConfigTest, TheCloseBoxKeepsTheValuesInForce)
{
    setInForce();
    open([&] {
        type(vLat(), "12");
        QTest::keyClick(vLat(), Qt::Key_Tab);
        QTest::keyClick(vLst(), Qt::Key_Down);
        QTest::mouseClick(control<QCheckBox>("vLog"), Qt::LeftButton);
        dialog.close();
    });
    EXPECT_FALSE(dialog.Done());
    expectInForce();
}

#ifndef _WIN32
TEST(ConfigDevices, TheStoredDeviceIsChoosableWhenUnplugged)
{
    QWidget owner;
    std::vector<PortItem> ports = {DevicePortItem("/dev/ttyS0", ""), DevicePortItem("/dev/ttyUSB0", "")};
    NumberPortItems(ports);
    Config dialog(&owner, ports);
    dialog.setPort(1);
    dialog.setDevice("/dev/ttyACM3");
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.findChild<QListWidget*>("vLst")->indexAt(QPoint(0, 0)).data().toString();
        dialog.OK_Click();
    });
    dialog.Show();
    EXPECT_EQ(shown, "ttyACM3");
    EXPECT_EQ(dialog.Device(), "/dev/ttyACM3");
    EXPECT_EQ(dialog.Port(), 3);
}
#endif

} // namespace
} // namespace telvorn
