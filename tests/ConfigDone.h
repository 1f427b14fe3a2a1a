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
        auto* c = qobject_cast<Config*>(QApplication::activeModalWidget());
        if (!c || !c->isVisible())
            return DoneWhenShown(before);
        if (before)
            before(*c);
        QTest::mouseClick(c->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
}

} // namespace telvorn::test
