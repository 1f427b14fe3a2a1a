#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QDialog>

#include "shell/PortItems.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace telvorn {

// The configuration dialog: the serial port, the line speed, the receiver's
// position and logging. It never touches the settings store; the main
// window sets its properties, shows it and reads them back. Setting a
// property writes to a control; reading one returns the value that only
// "&Done" confirms. Closing it by its close box (or Escape) confirms the
// values it was opened with, so nothing in force changes.
class Config final : public QDialog {
    Q_OBJECT

public:
    // `owner` is the main window; `ports` the port list's items, in order.
    Config(QWidget* owner, std::vector<PortItem> ports);
    ~Config() override;

    // "COM1" to "COM15" on Windows; elsewhere the serial devices the system
    // reports, with `storedDevice` among them even when it is unplugged.
    static std::vector<PortItem> SystemPorts(const std::string& storedDevice = {});
    // A fresh list (a device plugged in since) for the next opening.
    void setPorts(std::vector<PortItem> ports);

    // Scrolls the port list so that the item of that number is at the top;
    // a number without an item changes nothing.
    void setPort(std::int16_t number);
    std::int16_t Port() const { return confirmed_.port; }
    void setHSp(bool on);
    bool HSp() const { return confirmed_.hsp; }
    void setLAT(const std::string& text);
    const std::string& LAT() const { return confirmed_.lat; }
    void setLON(const std::string& text);
    const std::string& LON() const { return confirmed_.lon; }
    void setLOG(bool on);
    bool LOG() const { return confirmed_.log; }
#ifndef _WIN32
    // Where ports have names: scrolls to the item of that device, adding it
    // when the list lacks it; empty changes nothing.
    void setDevice(const std::string& device);
    const std::string& Device() const { return confirmed_.device; }
#endif

    // Shows the dialog, modal over its owner, until "&Done" or the close box
    // ends it; QDialog::Accepted after "&Done".
    int Show();
    // Whether the last opening ended with "&Done".
    bool Done() const { return result() == QDialog::Accepted; }

    // "&Done": the controls' values become the properties' and the dialog closes.
    void OK_Click();
    // A coordinate box left for another control of the dialog, or "&Done"
    // clicked while it has the focus: its text made a valid coordinate.
    void vLat_Validate();
    void vLon_Validate();

    // The index of the port list's top item, the chosen port; -1 with no items.
    int topIndex() const;

    // Every way the dialog closes: "&Done" (Accepted), the close box or
    // Escape (Rejected). The window is then as freshly loaded.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Fields {
        std::int16_t port = 0;
        bool hsp = false;
        std::string lat;
        std::string lon;
        bool log = false;
        std::string device;
    };

    void fillList();
    void setTopIndex(int row);
    void focusMoved(QWidget* from, QWidget* to);
    void unload();

    QMetaObject::Connection focusWatch_;
    std::vector<PortItem> ports_;
    // The list's top row while it is not on screen and cannot scroll.
    int top_ = 0;
    // What "&Done" confirmed, and what was set for this opening, which the
    // close box confirms instead.
    Fields confirmed_;
    Fields offered_;

    QLabel* vLbl_ = nullptr;
    QLineEdit* vLat_ = nullptr;
    QLineEdit* vLon_ = nullptr;
    QListWidget* vLst_ = nullptr;
    QCheckBox* vLog_ = nullptr;
    QCheckBox* vSpd_ = nullptr;
    QPushButton* OK_ = nullptr;
};

} // namespace telvorn
