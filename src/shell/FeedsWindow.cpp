#include "shell/FeedsWindow.h"

#include <QVBoxLayout>

namespace telvorn {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Clients(std::size_t n)
{
    return QString::number(n) + (n == 1 ? QStringLiteral(" client") : QStringLiteral(" clients"));
}

} // namespace

FeedsWindow::FeedsWindow(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Feeds"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("FeedsStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    reports_ = new QPlainTextEdit(this);
    reports_->setObjectName(QStringLiteral("FeedsReports"));
    reports_->setReadOnly(true);
    reports_->setMaximumBlockCount(kReportLines);
    reports_->setPlaceholderText(QStringLiteral("Nothing reported."));
    layout->addWidget(status_);
    layout->addWidget(reports_);
    resize(480, 240);
}

void FeedsWindow::showStatus(const FeedStatus& status)
{
    QStringList lines;
    for (const FeedServerStatus& s : status.servers) {
        const QString where = Text(s.address) + ":" + QString::number(s.port);
        lines << QString::fromLatin1(FeedProtocolName(s.protocol).data(), qsizetype(FeedProtocolName(s.protocol).size()))
                         .toUpper() +
                     " server on " + where + ": " + (s.listening ? Clients(s.clients) : QStringLiteral("not serving"));
    }
    for (const FeedPushStatus& p : status.pushes)
        lines << QString::fromLatin1(FeedProtocolName(p.endpoint.protocol).data(),
                                     qsizetype(FeedProtocolName(p.endpoint.protocol).size()))
                         .toUpper() +
                     " push to " + Text(p.endpoint.host) + ":" + QString::number(p.endpoint.port) + ": " +
                     (p.connected ? QStringLiteral("connected") : QStringLiteral("reconnecting"));
    if (lines.isEmpty())
        lines << QStringLiteral("No feeds. Start telvorn with --sbs-port 30003, --raw-port 30002, --beast-port 30005")
              << QStringLiteral("or --connect HOST:PORT:PROTOCOL; the window keeps them for its next start.");
    else
        lines << QStringLiteral("Clients connected: ") + QString::number(status.clients());
    status_->setText(lines.join('\n'));
}

void FeedsWindow::addReport(const std::string& message)
{
    reports_->appendPlainText(Text(message));
}

} // namespace telvorn
