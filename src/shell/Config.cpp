#include "shell/Config.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#ifndef _WIN32
#include <QSerialPortInfo>
#endif

#include "shell/CoordinateText.h"
#include "shell/TableFont.h"

namespace telvorn {

namespace {

struct Place {
    int left, top, width, height; // twips
};

void Put(QWidget* control, const char* name, Place place)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// A box shows the start of a new text, the degrees, when it is too narrow
// for all of it.
void Replace(QLineEdit* box, const std::string& text)
{
    box->setText(Text(text));
    box->setCursorPosition(0);
}

} // namespace

Config::Config(QWidget* owner, std::vector<PortItem> ports)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ports_(std::move(ports))
{
    setWindowTitle(QStringLiteral("Configuration"));
    setModal(true);
    setFixedSize(Pixels(1710), Pixels(1095));
    QFont small = font();
    small.setPointSizeF(8.0);
    setFont(small);

    // Created in tab order, after the label that the two boxes overlap.
    vLbl_ = new QLabel(QStringLiteral("Lat.              Lon."), this);
    vLbl_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Put(vLbl_, "vLbl", {0, 0, 1695, 255});
    vLst_ = new QListWidget(this);
    Put(vLst_, "vLst", {0, 540, 920, 255});
    OK_ = new QPushButton(QStringLiteral("&Done"), this);
    Put(OK_, "OK", {900, 840, 800, 255});
    vLat_ = new QLineEdit(this);
    Put(vLat_, "vLat", {0, 200, 855, 285});
    vLon_ = new QLineEdit(this);
    Put(vLon_, "vLon", {840, 200, 855, 285});
    vLog_ = new QCheckBox(QStringLiteral("&Log"), this);
    Put(vLog_, "vLog", {960, 530, 735, 255});
    vSpd_ = new QCheckBox(QStringLiteral("1Mbs"), this);
    vSpd_->setToolTip(QStringLiteral("Select for 1Mbs speed else 115200 Baud will be used"));
    Put(vSpd_, "vSpd", {0, 840, 700, 255});
    // Where the face is wider than the design's, the caption takes what it
    // needs of the free room before "&Done".
    vSpd_->resize(std::clamp(vSpd_->sizeHint().width(), vSpd_->width(), OK_->x() - 1), vSpd_->height());
    setTabOrder(vLst_, OK_);
    setTabOrder(OK_, vLat_);
    setTabOrder(vLat_, vLon_);
    setTabOrder(vLon_, vLog_);
    setTabOrder(vLog_, vSpd_);

    // One item high: the list scrolls a whole item at a time, so the item at
    // the top is the one on show.
    vLst_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    vLst_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    vLst_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vLst_->setUniformItemSizes(true);
    // The design has no default button: Enter in a box does not close the dialog.
    OK_->setAutoDefault(false);
    fillList();

    connect(OK_, &QPushButton::clicked, this, &Config::OK_Click);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &Config::focusMoved);
}

Config::~Config()
{
    // The controls are deleted after this destructor, and the focus leaving
    // them must not reach a Config that is gone.
    disconnect(focusWatch_);
}

std::vector<PortItem> Config::SystemPorts([[maybe_unused]] const std::string& storedDevice)
{
#ifdef _WIN32
    return NumberedComPorts();
#else
    std::vector<PortItem> items;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        items.push_back(DevicePortItem(info.systemLocation().toStdString(), info.description().toStdString()));
    NumberPortItems(items);
    EnsureDeviceItem(items, storedDevice);
    return items;
#endif
}

void Config::setPorts(std::vector<PortItem> ports)
{
    ports_ = std::move(ports);
    fillList();
}

void Config::fillList()
{
    vLst_->clear();
    // Each item as high as the list's inside, so that exactly one is on
    // show and no sliver of the next one.
    vLst_->ensurePolished();
    const QSize itemSize = vLst_->contentsRect().size();
    for (const PortItem& port : ports_) {
        auto* item = new QListWidgetItem(Text(port.text), vLst_);
        item->setSizeHint(itemSize);
        item->setData(Qt::UserRole, port.number);
        item->setToolTip(Text(port.description.empty() ? port.device : port.description));
    }
    setTopIndex(0);
}

void Config::setPort(std::int16_t number)
{
    offered_.port = number;
    const auto found = std::find_if(ports_.begin(), ports_.end(), [&](const PortItem& p) { return p.number == number; });
    if (found != ports_.end())
        setTopIndex(int(found - ports_.begin()));
}

void Config::setHSp(bool on)
{
    offered_.hsp = on;
    vSpd_->setChecked(on);
}

void Config::setLAT(const std::string& text)
{
    offered_.lat = text;
    Replace(vLat_, text);
}

void Config::setLON(const std::string& text)
{
    offered_.lon = text;
    Replace(vLon_, text);
}

void Config::setLOG(bool on)
{
    offered_.log = on;
    vLog_->setChecked(on);
}

#ifndef _WIN32
void Config::setDevice(const std::string& device)
{
    offered_.device = device;
    const std::size_t before = ports_.size();
    const int row = EnsureDeviceItem(ports_, device);
    if (row < 0)
        return;
    if (ports_.size() != before)
        fillList();
    setTopIndex(row);
}
#endif

int Config::Show()
{
    return exec();
}

void Config::OK_Click()
{
    // Alt+D clicks without taking the focus from the box.
    if (focusWidget() == vLat_)
        vLat_Validate();
    else if (focusWidget() == vLon_)
        vLon_Validate();
    const int top = topIndex();
    if (top >= 0) {
        confirmed_.port = std::int16_t(vLst_->item(top)->data(Qt::UserRole).toInt());
        confirmed_.device = ports_[std::size_t(top)].device;
    }
    confirmed_.lat = vLat_->text().toStdString();
    confirmed_.lon = vLon_->text().toStdString();
    confirmed_.log = vLog_->isChecked();
    confirmed_.hsp = vSpd_->isChecked();
    accept();
}

void Config::vLat_Validate()
{
    Replace(vLat_, LatitudeText(vLat_->text().toStdString()));
}

void Config::vLon_Validate()
{
    Replace(vLon_, LongitudeText(vLon_->text().toStdString()));
}

int Config::topIndex() const
{
    if (vLst_->count() == 0)
        return -1;
    if (!vLst_->isVisible())
        return top_;
    const QModelIndex top = vLst_->indexAt(QPoint(0, 0));
    return top.isValid() ? top.row() : top_;
}

void Config::setTopIndex(int row)
{
    top_ = row;
    if (row < 0 || row >= vLst_->count())
        return;
    // The current item follows, so that the arrow keys go on from the top one.
    vLst_->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    vLst_->scrollToItem(vLst_->item(row), QAbstractItemView::PositionAtTop);
}

void Config::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    setTopIndex(top_);
    vLst_->setFocus(Qt::OtherFocusReason);
}

void Config::done(int result)
{
    if (result != QDialog::Accepted)
        confirmed_ = offered_;
    QDialog::done(result);
    unload();
}

void Config::unload()
{
    vLat_->clear();
    vLon_->clear();
    vLog_->setChecked(false);
    vSpd_->setChecked(false);
    setTopIndex(0);
}

void Config::focusMoved(QWidget* from, QWidget* to)
{
    // Only leaving for another control of the dialog validates: switching
    // to another window and back leaves the text as it is.
    if (to == nullptr || !isAncestorOf(to))
        return;
    if (from == vLat_)
        vLat_Validate();
    else if (from == vLon_)
        vLon_Validate();
}

} // namespace telvorn
