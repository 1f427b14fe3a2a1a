#include "shell/StatusStrip.h"

#include <QLocale>
#include <QTime>

#include "shell/TableFont.h"

namespace telvorn {

namespace {

constexpr int kButtonTop = 30;     // twips below the strip's top edge
constexpr int kButtonHeight = 240; // twips; the window's last pixel row stays clear
constexpr int kConfLeft = 10020;
constexpr int kConfWidth = 975;
constexpr int kModeWidth = 735;
constexpr int kButtonGap = 15;

QString Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

StatusStrip::StatusStrip(QWidget* parent) : QWidget(parent)
{
    QFont small = font();
    small.setPointSizeF(8.0);
    setFont(small);

    const auto& defs = StatusPanels::Definitions();
    int left = 0;
    for (std::size_t i = 0; i < kPanelCount; ++i) {
        const PanelDef& def = defs[i];
        const int width = Panel(i) == Panel::Raw ? kRawPanelTwips : def.widthTwips;
        auto* label = new QLabel(Text(def.initialText), this);
        label->setObjectName(def.key.empty() ? QStringLiteral("Clock") : Text(def.key));
        label->setToolTip(Text(def.tooltip));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(Pixels(left), 0, Pixels(left + width) - Pixels(left), Pixels(kHeightTwips));
        panels_[i] = label;
        left += width;
    }

    linkMessage_ = new QLabel(this);
    linkMessage_->setObjectName(QStringLiteral("LinkMessage"));
    linkMessage_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    linkMessage_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; background: #fff4d0; }"));
    linkMessage_->setGeometry(0, 0, Pixels(left), Pixels(kHeightTwips));
    linkMessage_->hide();

    const int modeLeft = kConfLeft - kButtonGap - kModeWidth;
    mode_ = new QPushButton(QStringLiteral("&Decoded"), this);
    mode_->setObjectName(QStringLiteral("Mode"));
    mode_->setToolTip(QStringLiteral("Position decoded by firmware or received as raw data"));
    mode_->setGeometry(Pixels(modeLeft), Pixels(kButtonTop), Pixels(kModeWidth), Pixels(kButtonHeight));
    conf_ = new QPushButton(QStringLiteral("&Config"), this);
    conf_->setObjectName(QStringLiteral("Conf"));
    conf_->setToolTip(QStringLiteral("Configuration"));
    conf_->setGeometry(Pixels(kConfLeft), Pixels(kButtonTop), Pixels(kConfWidth), Pixels(kButtonHeight));

    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &StatusStrip::showTime);
    clock_.start();
    showTime();
}

void StatusStrip::setPanelText(Panel which, const QString& text)
{
    QLabel* label = panel(which);
    if (label->text() != text)
        label->setText(text);
}

void StatusStrip::showTime()
{
    // Hours and minutes: seconds would not fit the 600-twip panel.
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss")).remove(QStringLiteral(".ss"));
    panel(Panel::Clock)->setText(QLocale().toString(QTime::currentTime(), format));
}

void StatusStrip::showLinkMessage(const QString& message)
{
    linkMessage_->setText(message);
    linkMessage_->setToolTip(message);
    linkMessage_->show();
    linkMessage_->raise();
}

void StatusStrip::clearLinkMessage()
{
    linkMessage_->hide();
}

} // namespace telvorn
