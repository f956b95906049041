#include "WindowFixture.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>

namespace zev {

QList<QMessageBox*> openAlerts(QWidget& window) {
    QList<QMessageBox*> shown;
    for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
        if (box->isVisible())
            shown.append(box);
    }
    return shown;
}

QMessageBox* waitForAlert(QWidget& window, int timeoutMs) {
    const bool appeared = QTest::qWaitFor([&window]() { return !openAlerts(window).isEmpty(); }, timeoutMs);
    return appeared ? openAlerts(window).constFirst() : nullptr;
}

void press(QMessageBox* box, const QString& title) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == title) {
            button->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return;
        }
    }
    ADD_FAILURE() << "no button " << title.toStdString();
}

} // namespace zev
