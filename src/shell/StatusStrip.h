#pragma once

#include <array>

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "table/StatusPanels.h"

namespace telvorn {

// The main window's status bar: the six panels at their widths from the
// left, then the `Mode` and `Conf` buttons side by side at the right end.
// The panels leave room for both buttons by narrowing the raw-frame panel,
// whose widest text, a 112-bit frame, still fits.
class StatusStrip final : public QWidget {
public:
    static constexpr int kHeightTwips = 285;
    // Given up by the "RAW" panel so that `Mode` need not cover `Conf`.
    static constexpr int kRawPanelTwips = 3270;

    explicit StatusStrip(QWidget* parent = nullptr);

    void setPanelText(Panel panel, const QString& text);
    QLabel* panel(Panel panel) const { return panels_[std::size_t(panel)]; }
    QPushButton* conf() const { return conf_; }
    QPushButton* mode() const { return mode_; }

    // A link problem said across the first panels until it is cleared.
    void showLinkMessage(const QString& message);
    void clearLinkMessage();
    bool showsLinkMessage() const { return !linkMessage_->isHidden(); }

private:
    void showTime();

    std::array<QLabel*, kPanelCount> panels_{};
    QLabel* linkMessage_ = nullptr;
    QPushButton* conf_ = nullptr;
    QPushButton* mode_ = nullptr;
    QTimer clock_;
};

} // namespace telvorn
