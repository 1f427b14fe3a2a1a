#pragma once

#include <string>

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include "feeds/FeedStatus.h"

namespace telvorn {

// A small window beside the main one: where the network feeds serve, how
// many clients each server has, whether each push client is connected, and
// what the feeds last reported (a dropped client, a lost connection). It
// only shows; the feeds are the command line's and the settings' business.
class FeedsWindow final : public QWidget {
public:
    // Reports kept; older ones scroll away.
    static constexpr int kReportLines = 200;

    explicit FeedsWindow(QWidget* parent = nullptr);

    void showStatus(const FeedStatus& status);
    void addReport(const std::string& message);

    QString statusText() const { return status_->text(); }
    QString reportsText() const { return reports_->toPlainText(); }

private:
    QLabel* status_ = nullptr;
    QPlainTextEdit* reports_ = nullptr;
};

} // namespace telvorn
