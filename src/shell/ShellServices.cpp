#include "shell/ShellServices.h"

#include <QApplication>
#include <QMessageBox>

namespace telvorn {

ShellServices::MessageBox QtMessageBox()
{
    return [](const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
              const std::string& detail) {
        const QMessageBox::Icon qtIcon = icon == MsgIcon::Critical      ? QMessageBox::Critical
                                         : icon == MsgIcon::Information ? QMessageBox::Information
                                                                        : QMessageBox::NoIcon;
        const QMessageBox::StandardButtons qtButtons =
            buttons == MsgButtons::RetryCancel ? QMessageBox::Retry | QMessageBox::Cancel : QMessageBox::Ok;
        QMessageBox box(qtIcon, QString::fromStdString(title), QString::fromStdString(text), qtButtons,
                        QApplication::activeWindow());
        // What the system said goes beside the fixed text, not into it.
        if (!detail.empty())
            box.setToolTip(QString::fromStdString(detail));
        box.setEscapeButton(buttons == MsgButtons::RetryCancel ? QMessageBox::Cancel : QMessageBox::Ok);
        const int answer = box.exec();
        if (answer == QMessageBox::Retry)
            return MsgResult::Retry;
        return answer == QMessageBox::Ok ? MsgResult::Ok : MsgResult::Cancel;
    };
}

} // namespace telvorn
