#pragma once

#include <functional>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shell/Config.h"

namespace telvorn::test {

// Clicks "&Done" on the configuration dialog once it shows, from inside its
// modal loop, after `before` has set what the user would type.
inline void DoneWhenShown(std::function<void(Config&)> before = {})
{
    QTimer::singleShot(0, [before] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* c = qobject_cast<Config*>(w); c && c->isVisible()) {
                if (before)
                    before(*c);
                QTest::mouseClick(c->findChild<QPushButton*>("OK"), Qt::LeftButton);
                return;
            }
        }
        DoneWhenShown(before);
    });
}

} // namespace telvorn::test
