#include "shell/Main.h"

#include <cmath>

#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QShortcut>

#include "shell/AircraftTableModel.h"
#include "shell/AircraftTableView.h"
#include "shell/Config.h"
#include "shell/EmergencyStyle.h"
#include "shell/MainFeeds.h"
#include "shell/PortChoice.h"
#include "shell/ScopeView.h"
#include "shell/StatusStrip.h"
#include "shell/TableFont.h"
#include "feeds/FeedSettings.h"
#include "table/ColumnSort.h"
#include "table/StalePurge.h"

namespace telvorn {

namespace {

constexpr double kTwipsPerPixel = 15.0;

int ToPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

QString Text(const std::string& text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

Main::Main(ShellServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)),
      chain_(*services_.clock),
      link_(chain_, *services_.port, *this)
{
    setWindowTitle(QStringLiteral("ADS-B"));
    const int width = Pixels(kClientWidthTwips);
    const int height = Pixels(kClientHeightTwips);
    setFixedSize(width, height);

    const int statusHeight = Pixels(StatusStrip::kHeightTwips);
    model_ = std::make_unique<AircraftTableModel>(chain_.table());
    view_ = new AircraftTableView(this);
    view_->setObjectName(QStringLiteral("ListView"));
    view_->setModel(model_.get());
    view_->setGeometry(0, 0, width, height - statusHeight);
    status_ = new StatusStrip(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setGeometry(0, height - statusHeight, width, statusHeight);

    connect(status_->conf(), &QPushButton::clicked, this, &Main::Conf_Click);
    connect(status_->mode(), &QPushButton::clicked, this, &Main::Mode_Click);
    connect(view_, &AircraftTableView::headerClicked, this, &Main::ListView_ColumnClick);

    // The scope and the emergency highlight: outside the window's own
    // controls, which stay as they are while the scope is hidden.
    model_->setStyle([this](RowId id) { return EmergencyStyle(chain_.tracker(), id); });
    scope_ = new ScopeView(chain_.tracker(), chain_.table(), chain_.state(), *services_.clock, this);
    scope_->setObjectName(QStringLiteral("Scope"));
    scope_->hide();
    connect(scope_, &ScopeView::aircraftClicked, this,
            [this](RowId id) { view_->showRow(model_->displayRowOf(id)); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& row) {
        if (!followingRecords_ && row.isValid())
            scope_->setSelected(model_->idAt(row.row()));
    });
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this, [this] {
        setScopePlace(ScopePlace((int(scopePlace_) + 1) % 3));
    });

    chain_.panels().setChangeListener([this](Panel panel) { panelDirty_[std::size_t(panel)] = true; });
    connect(&refresh_, &QTimer::timeout, this, &Main::refresh);
    refresh_.start(kRefreshMs);
    connect(&timerClean_, &QTimer::timeout, this, &Main::TimerClean_Timer);
    connect(&reopen_, &QTimer::timeout, this, [this] { link_.retryTick(); });
}

Main::~Main()
{
    chain_.panels().setChangeListener({});
}

bool Main::Form_Load()
{
    const AppSettings settings = LoadSettings(*services_.store);
    move(ToPixels(settings.mainLeft), ToPixels(settings.mainTop));
    ApplySettings(settings, chain_.state());
    storedPort_ = settings.port;
    storedDevice_ = settings.device;
    scope_->setRangeNm(settings.scopeRangeNm);
    setScopePlace(services_.runScope.value_or(settings.scope));

    if (!ApplyStoredPort(settings, services_.runDevice, *services_.port)) {
        Conf_Click();
        if (ended_)
            return false;
    }
    chain_.SetupColumns();
    view_->setColumns(chain_.table().columns(), chain_.table().sortColumn());
    chain_.applyReference();
    if (!link_.StartReceiver())
        return false;
    feeds_ = std::make_unique<MainFeeds>(*this, *view_, chain_,
                                         services_.runFeeds ? *services_.runFeeds : LoadFeedSettings(*services_.store));

    timerClean_.setInterval(PurgeIntervalMs);
    timerClean_.start();
    reopen_.start(kReopenIntervalMs);
    loaded_ = true;
    return true;
}

void Main::Form_Unload()
{
    if (unloaded_ || ended_)
        return;
    unloaded_ = true;
    const QPoint where = pos();
    AppSettings settings = CollectSettings(chain_.state(), float(where.x() * kTwipsPerPixel),
                                           float(where.y() * kTwipsPerPixel), storedPort_, storedDevice_);
    settings.scope = scopePlace_;
    settings.scopeRangeNm = scope_->rangeNm();
    SaveSettings(*services_.store, settings);
    if (feeds_)
        SaveFeedSettings(*services_.store, feeds_->options());
    feeds_.reset();
    config_.reset();
    link_.shutdown();
    refresh_.stop();
    timerClean_.stop();
    reopen_.stop();
}

void Main::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    if (services_.closed)
        services_.closed();
}

void Main::Conf_Click()
{
    link_.suspend();
    runDialog();
    // Raw positions decode against the receiver position now in force.
    chain_.applyReference();
    link_.StartReceiver();
}

void Main::runDialog()
{
    SerialPort& port = *services_.port;
    MainState& state = chain_.state();
    // The serial devices of this moment: a board plugged in since the last
    // opening is in the list, an unplugged stored one stays.
    if (!config_)
        config_ = std::make_unique<Config>(this, Config::SystemPorts(port.device()));
    else
        config_->setPorts(Config::SystemPorts(port.device()));
    Config& c = *config_;
    c.setLOG(state.LogFlag);
    c.setLAT(state.PosLat[0]);
    c.setLON(state.PosLon[0]);
    c.setPort(std::int16_t(port.commPort()));
#ifndef _WIN32
    c.setDevice(port.device());
#endif
    c.setHSp(state.SpeedFlag);
    c.Show();

    state.PosLat[0] = c.LAT();
    state.PosLon[0] = c.LON();
    state.LogFlag = c.LOG();
    // A number the port refuses leaves the one it had.
    port.setCommPort(c.Port());
#ifndef _WIN32
    port.setDevice(c.Device());
#endif
    state.SpeedFlag = c.HSp();
    if (c.Done()) {
        storedPort_ = std::uint8_t(port.commPort());
        storedDevice_ = port.device();
    }
}

void Main::Mode_Click()
{
    link_.Mode_Click();
}

void Main::ListView_ColumnClick(int headerPosition)
{
    telvorn::ListView_ColumnClick(chain_.table(), chain_.state(), headerPosition);
    view_->setSortColumn(chain_.table().sortColumn());
}

void Main::refresh()
{
    followingRecords_ = true;
    model_->flush();
    if (const std::optional<RowId> selected = chain_.table().selected())
        view_->showRow(model_->displayRowOf(*selected));
    followingRecords_ = false;
    // Half a period after the list, so that the two are never drawn in the
    // same pass of the event loop: the longest pass is what a user feels.
    if (scope_->isVisible())
        scope_->requestFrame(kRefreshMs / 2);
    for (std::size_t i = 0; i < kPanelCount; ++i) {
        if (panelDirty_[i]) {
            panelDirty_[i] = false;
            status_->setPanelText(Panel(i), Text(chain_.panels().text(Panel(i))));
        }
    }
}

void Main::setScopePlace(ScopePlace place)
{
    scopePlace_ = place;
    const int width = Pixels(kClientWidthTwips);
    const int height = Pixels(kClientHeightTwips);
    switch (place) {
    case ScopePlace::Hidden:
        scope_->hide();
        setFixedSize(width, height);
        return;
    case ScopePlace::Beside:
        scope_->setGeometry(width, 0, height, height);
        setFixedSize(width + height, height);
        break;
    case ScopePlace::Below:
        scope_->setGeometry(0, height, width, height);
        setFixedSize(width, 2 * height);
        break;
    }
    scope_->show();
}

MsgResult Main::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
                       const std::string& detail)
{
    return services_.msgBox(text, buttons, icon, title, detail);
}

void Main::setCaption(const std::string& caption)
{
    caption_ = caption;
    setWindowTitle(Text(caption));
}

void Main::setModeCaption(const std::string& caption)
{
    status_->mode()->setText(Text(caption));
}

void Main::EndProgram()
{
    ended_ = true;
    services_.endProgram();
}

void Main::linkStatus(LinkState state, const std::string& message)
{
    if (state == LinkState::Open) {
        status_->clearLinkMessage();
        setWindowTitle(Text(caption_));
        return;
    }
    status_->showLinkMessage(Text(message));
    setWindowTitle(Text((caption_.empty() ? std::string("ADS-B") : caption_) + " - receiver lost, reconnecting"));
}

} // namespace telvorn
